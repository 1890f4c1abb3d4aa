// Files written by replacement, the one way the programs write a file: the bytes go into a
// temporary file in the same folder, and only a commit whose every write, flush and close
// succeeded renames it over the file. Anything less (a full disk, a folder that cannot be
// written, a writer that gives up half way) leaves the old file exactly as it was and no
// temporary file behind.
//
// A file the user may not write (its write permission cleared, "chmod 444", or not given to
// this user) is refused as a full disk is: its writes and commit fail with EPERM and it stays
// as it was. A temporary file of the same file that a killed writer left (of a process that no
// longer runs) is removed when the next replacement starts; one of a live writer stays.
//
// Departs from Windows: a file being written keeps its old contents for every reader until the
// writer closes it; a file that is a symbolic link is replaced where the link points.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class FileReplacement {
 public:
  // Starts replacing the file at `path` (a file-system path, already mapped). When the
  // temporary file cannot be created, or the file is one the user may not write, error() says
  // why and every later call fails.
  explicit FileReplacement(const std::string& path);
  // Discards what was written unless it was committed.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The descriptor of the temporary file (-1 when it could not be created, was not made for a
  // protected file, or is closed), for readers of what was written so far.
  int fd() const { return fd_; }
  // The errno of the first failure; 0 while nothing has failed.
  int error() const { return error_; }
  // False when the temporary file could not be created (a missing folder, a folder that cannot
  // be written, a folder in the file's place). True for a protected file: as with a full disk,
  // the failure shows when the writer commits.
  bool opened() const { return opened_; }

  // Writes all of `data` at the current position; false (and the failure kept) when it fails or
  // an earlier call failed.
  bool Write(std::string_view data);
  // Marks the replacement failed with `error`, as a failed write does: it will not commit.
  void Fail(int error);
  // Puts the written file in place of the old one: true when every write and the close
  // succeeded. Otherwise the old file stays, the temporary file is removed and error() says why.
  bool Commit();
  // Removes the temporary file; the old file stays.
  void Discard();

 private:
  std::string target_;  // where the file goes (a link is followed)
  std::string temp_;    // the temporary file beside it
  int fd_ = -1;
  int error_ = 0;
  bool opened_ = false;
  bool finished_ = false;  // committed or discarded
};

// The reason for a failed file write, for the user, in the programs' code page: "Нет места на
// диске" for a full disk or quota, "Нет прав на запись в файл" (EPERM) for a protected file,
// the common refusals in the same words, else the system's text.
std::string FileErrorText(int error);

}  // namespace platform
