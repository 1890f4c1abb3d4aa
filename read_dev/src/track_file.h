// The track files as the handlers write them: text streams created anew with "wt" through the
// platform's path mapping (each line feed reaches the disk as CR LF), closed on every way out of
// a handler.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/crt.h"
#include "vcl/system.h"

struct TrackFileClose {
  void operator()(FILE* file) const { std::fclose(file); }
};
using TrackFile = std::unique_ptr<FILE, TrackFileClose>;

// Creates (or empties) the file; null when it cannot be created.
inline TrackFile CreateTrackFile(const AnsiString& path) {
  return TrackFile(crt::fopen(path.c_str(), "wt"));
}

// Creates the file or, when it cannot be created, shows `message` and ends the handler silently.
TrackFile CreateTrackFileOrAbort(const AnsiString& path, const AnsiString& message);

inline void WriteTrackText(FILE* file, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}
