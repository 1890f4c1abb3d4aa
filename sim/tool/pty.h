// A pseudo-terminal pair for the simulator tool. The tool keeps the slave side open itself, so
// that the host's closing and reopening does not hang up the master, and reads the host's line
// settings from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim_comm.h"

namespace sim::tool {

class Pty {
 public:
  // Opens a pair with the slave in raw mode, 8N1 at `baud`. Throws std::system_error.
  explicit Pty(std::uint32_t baud);
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }
  bool is_open() const { return master_ >= 0; }

  // The line settings the host last set on the slave. The rate is the exact one (termios2), also
  // for rates without a B constant.
  platform::sim::LineSettings Settings() const;
  // Bytes written to the master that the host has not read yet.
  std::size_t Unread() const;
  // A host that set exclusive mode and closed leaves the mode on the slave while the pair
  // lives, so that nobody without privileges could open it again: clear it.
  void AllowReopen();
  // Closes both sides: the host sees the device vanish.
  void Close();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

}  // namespace sim::tool
