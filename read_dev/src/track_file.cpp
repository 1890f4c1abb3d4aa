#include "track_file.h"

#include <cerrno>

#include "platform/file_replace.h"
#include "vcl/dialogs.h"
#include "vcl/sysutils.h"

TrackFile CreateTrackFileOrAbort(const AnsiString& path, const AnsiString& message) {
  TrackFile file = CreateTrackFile(path);
  if (!file) {
    ShowMessage(message);
    Abort();
  }
  return file;
}

bool CloseTrackFile(TrackFile& file, AnsiString& reason) {
  if (std::fclose(file.release()) == 0) return true;
  reason = AnsiString(platform::FileErrorText(errno));
  return false;
}

void CloseTrackFileOrAbort(TrackFile& file, const AnsiString& path) {
  AnsiString reason;
  if (CloseTrackFile(file, reason)) return;
  ShowMessage("Файл " + path + " не записан: " + reason);
  Abort();
}
