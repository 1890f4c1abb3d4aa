// The track files as the handlers write them: text streams created with "wt" through the
// platform's path mapping (each line feed reaches the disk as CR LF). A track file replaces the
// old one only when it is closed with CloseTrackFile and every write succeeded; a handler that
// leaves early (an abort, an error) discards it, and the old file stays as it was.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/crt.h"
#include "vcl/system.h"

struct TrackFileDiscard {
  void operator()(FILE* file) const { crt::fdiscard(file); }
};
using TrackFile = std::unique_ptr<FILE, TrackFileDiscard>;

// Starts the file's replacement; null when it cannot be created.
inline TrackFile CreateTrackFile(const AnsiString& path) {
  return TrackFile(crt::fopen(path.c_str(), "wt"));
}

// Creates the file or, when it cannot be created, shows `message` and ends the handler silently.
TrackFile CreateTrackFileOrAbort(const AnsiString& path, const AnsiString& message);

// A failed write is kept by the stream and reported by the close.
inline void WriteTrackText(FILE* file, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}

// Puts the file in place of the old one: true when every write and the close succeeded; else the
// old file stays and `reason` says why ("Нет места на диске").
bool CloseTrackFile(TrackFile& file, AnsiString& reason);

// Closes the file or, when it could not be written, shows the file's name and the reason and ends
// the handler silently; the old file stays as it was.
void CloseTrackFileOrAbort(TrackFile& file, const AnsiString& path);
