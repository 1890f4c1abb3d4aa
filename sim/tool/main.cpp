// tracker-sim: the tracker simulator serving a pseudo-terminal in real time.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "boot_loader_tool.h"
#include "pty.h"
#include "sim/tracker_sim.h"

namespace {

namespace fs = std::filesystem;
using sim::TrackerFaults;

constexpr const char* kUsage =
    "usage: tracker-sim [options]\n"
    "  --prefix DIR        prefix whose dosdevices/comN gets the link (default $TRAKMON_PREFIX,\n"
    "                      else ~/.trakmon)\n"
    "  --com N             link DIR/dosdevices/comN to the pty (no link without it)\n"
    "  --baud RATE         the device's own rate (default 115200)\n"
    "  --memory FILE       track memory image; the write address follows its last byte\n"
    "  --track DAYS        track memory packed from a generated track of DAYS days\n"
    "  --track-text FILE   track memory packed from the track text in FILE\n"
    "  --unpaced           send as fast as the host reads (no character times on the line)\n"
    "  --log FILE          record of the bytes received and the replies sent\n"
    "  --vanish-after MS   close the pty MS milliseconds after start (the device vanishes)\n"
    "  --fault FAULT       silent | slow=MS | delay=MS | garbage[=HEX,...] | cut=N | long\n"
    "                      | fill[=LEAD,EVERY] | vanish=N | chatter[=MS]   (may be repeated)\n"
    "Prints the pty's slave path on one line when ready; runs until SIGTERM or SIGINT.\n";

// After a stop request the tool keeps serving while the host has the port open, until nothing
// is queued or unread and the line has been quiet for kQuietUs, for at most kLingerUs.
constexpr std::uint64_t kLingerUs = 3'000'000;
constexpr std::uint64_t kQuietUs = 100'000;
// Bytes due within this window are written together.
constexpr std::uint64_t kWriteAheadUs = 1'000;

struct Options {
  fs::path prefix;
  int com = 0;
  std::uint32_t baud = sim::kDefaultBaud;
  TrackerFaults faults;
  std::string memory_file;
  int track_days = 0;
  std::string track_text_file;
  bool unpaced = false;
  std::string log_file;
  long vanish_after_ms = -1;
  sim::tool::BootLoaderOptions boot;
};

[[noreturn]] void Usage(const std::string& error) {
  std::fprintf(stderr, "tracker-sim: %s\n%s%s", error.c_str(), kUsage, sim::tool::kBootLoaderUsage);
  std::exit(2);
}

unsigned long Number(const std::string& text, const std::string& what, int base = 10) {
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text.c_str(), &end, base);
  if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-')
    Usage("bad " + what + ": " + text);
  return v;
}

void ParseFault(const std::string& fault, TrackerFaults& f) {
  const auto eq = fault.find('=');
  const std::string name = fault.substr(0, eq);
  const std::string value = eq == std::string::npos ? "" : fault.substr(eq + 1);
  auto need = [&] {
    if (value.empty()) Usage("--fault " + name + " needs a value");
  };
  if (name == "silent") {
    f.silent = true;
  } else if (name == "slow") {
    need();
    f.byte_delay_us = Number(value, "slow") * 1000;
  } else if (name == "delay") {
    need();
    f.reply_delay_us = Number(value, "delay") * 1000;
  } else if (name == "garbage") {
    f.garbage.clear();
    std::size_t p = 0;
    while (p < value.size()) {
      const auto comma = value.find(',', p);
      const std::string item = value.substr(p, comma == std::string::npos ? comma : comma - p);
      const unsigned long b = Number(item, "garbage byte", 16);
      if (b > 0xFF) Usage("bad garbage byte: " + item);
      f.garbage.push_back(static_cast<std::uint8_t>(b));
      p = comma == std::string::npos ? value.size() : comma + 1;
    }
    if (f.garbage.empty()) f.garbage = {0x11, 0x7E, 0xFE};
  } else if (name == "cut") {
    need();
    f.cut_after = static_cast<int>(Number(value, "cut"));
  } else if (name == "long") {
    f.short_length = 30;
    f.status_length = 60;
    f.address_length = 10;
  } else if (name == "fill") {
    f.fill_lead = 2;
    f.fill_every = 1;
    if (!value.empty()) {
      const auto comma = value.find(',');
      f.fill_lead = static_cast<int>(Number(value.substr(0, comma), "fill"));
      f.fill_every = comma == std::string::npos
                         ? 0
                         : static_cast<int>(Number(value.substr(comma + 1), "fill"));
    }
  } else if (name == "chatter") {
    f.chatter_us = value.empty() ? 60'000'000 : Number(value, "chatter") * 1000;
  } else if (name == "vanish") {
    need();
    f.vanish_on_byte = Number(value, "vanish");
  } else {
    Usage("unknown fault: " + fault);
  }
}

Options Parse(int argc, char** argv) {
  Options o;
  if (const char* p = std::getenv("TRAKMON_PREFIX"); p != nullptr && *p != '\0') {
    o.prefix = p;
  } else if (const char* home = std::getenv("HOME"); home != nullptr) {
    o.prefix = fs::path(home) / ".trakmon";
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::fputs(sim::tool::kBootLoaderUsage, stdout);
      std::exit(0);
    }
    if (arg == "--unpaced") {
      o.unpaced = true;
      continue;
    }
    if (i + 1 >= argc) Usage("missing value after " + arg);
    const std::string value = argv[++i];
    std::string error;
    if (sim::tool::ParseBootLoaderOption(arg, value, o.boot, error)) {
      if (!error.empty()) Usage(error);
    } else if (arg == "--prefix") {
      o.prefix = value;
    } else if (arg == "--com") {
      o.com = static_cast<int>(Number(value, "port number"));
      if (o.com < 1 || o.com > 256) Usage("bad port number: " + value);
    } else if (arg == "--baud") {
      o.baud = static_cast<std::uint32_t>(Number(value, "rate"));
      if (o.baud == 0) Usage("bad rate: " + value);
    } else if (arg == "--memory") {
      o.memory_file = value;
    } else if (arg == "--track") {
      o.track_days = static_cast<int>(Number(value, "number of days"));
      if (o.track_days < 1 || o.track_days > 60) Usage("bad number of days: " + value);
    } else if (arg == "--track-text") {
      o.track_text_file = value;
    } else if (arg == "--log") {
      o.log_file = value;
    } else if (arg == "--vanish-after") {
      o.vanish_after_ms = static_cast<long>(Number(value, "time"));
    } else if (arg == "--fault") {
      ParseFault(value, o.faults);
    } else {
      Usage("unknown option " + arg);
    }
  }
  return o;
}

std::uint64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

class Server {
 public:
  Server(const Options& o, sim::TrackerSim& tracker, sim::BootLoaderSim& boot_loader,
         sim::tool::Pty& pty, std::FILE* log)
      : options_(o),
        tracker_(tracker),
        boot_loader_(boot_loader),
        pty_(pty),
        log_(log),
        start_(NowUs()) {}

  int Run(int signal_fd, int notify_fd) {
    const std::uint64_t vanish_at =
        options_.vanish_after_ms < 0 ? UINT64_MAX : start_ + options_.vanish_after_ms * 1000ull;
    std::optional<std::uint64_t> stop_at;
    while (true) {
      const std::uint64_t now = NowUs();
      if (now >= vanish_at && pty_.is_open()) Vanish(now);
      if (stop_at && (*stop_at <= now || (Drained() && now - last_activity_us_ >= kQuietUs))) {
        return 0;
      }

      std::uint64_t wake = std::min(vanish_at, stop_at.value_or(UINT64_MAX));
      bool want_write = false;
      if (pty_.is_open() && !queue_.empty()) {
        if (queue_.front().due_us <= now + kWriteAheadUs) {
          want_write = true;
        } else {
          wake = std::min(wake, queue_.front().due_us);
        }
      }
      // While stopping, look again soon whether the host has read what it was sent.
      if (stop_at) wake = std::min(wake, now + 10'000);

      pollfd fds[3] = {{signal_fd, POLLIN, 0}, {notify_fd, POLLIN, 0}, {pty_.master(), 0, 0}};
      nfds_t nfds = 2;
      if (pty_.is_open()) {
        fds[2].events = static_cast<short>(POLLIN | (want_write ? POLLOUT : 0));
        nfds = 3;
      }
      timespec ts{};
      timespec* timeout = nullptr;
      if (wake != UINT64_MAX) {
        const std::uint64_t wait = wake > now ? wake - now : 0;
        ts.tv_sec = static_cast<time_t>(wait / 1'000'000);
        ts.tv_nsec = static_cast<long>(wait % 1'000'000) * 1000;
        timeout = &ts;
      }
      if (ppoll(fds, nfds, timeout, nullptr) < 0) {
        if (errno == EINTR) continue;
        std::perror("tracker-sim: ppoll");
        return 1;
      }
      if ((fds[0].revents & POLLIN) != 0) {
        signalfd_siginfo info;
        if (read(signal_fd, &info, sizeof info) > 0 && !stop_at) {
          Log(NowUs(), "signal %u\n", info.ssi_signo);
          // Without a host holding the port nobody is left to read: stop at once.
          stop_at = host_opens_ > 0 ? NowUs() + kLingerUs : NowUs();
        }
      }
      if ((fds[1].revents & POLLIN) != 0) Notified(notify_fd);
      if (nfds == 3 && (fds[2].revents & POLLIN) != 0) Read();
      if (pty_.is_open()) Write();
    }
  }

 private:
  struct Pending {
    std::uint64_t due_us;
    std::uint8_t byte;
  };

  __attribute__((format(printf, 3, 4))) void Log(std::uint64_t at, const char* format, ...) {
    if (log_ == nullptr) return;
    std::fprintf(log_, "%.6f ", (at - start_) / 1e6);
    va_list args;
    va_start(args, format);
    std::vfprintf(log_, format, args);
    va_end(args);
    std::fflush(log_);
  }

  // Nothing left that a host could still read.
  bool Drained() const {
    return !pty_.is_open() || host_opens_ == 0 || (queue_.empty() && pty_.Unread() == 0);
  }

  void Notified(int notify_fd) {
    alignas(inotify_event) char buf[4096];
    const ssize_t n = read(notify_fd, buf, sizeof buf);
    for (ssize_t p = 0; p < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buf + p);
      if ((e->mask & IN_OPEN) != 0) {
        ++host_opens_;
        Log(NowUs(), "host opened\n");
      }
      if ((e->mask & IN_CLOSE) != 0) {
        if (host_opens_ > 0) --host_opens_;
        Log(NowUs(), "host closed\n");
        if (host_opens_ == 0) pty_.AllowReopen();
      }
      p += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }

  void Read() {
    std::uint8_t buf[4096];
    const ssize_t n = read(pty_.master(), buf, sizeof buf);
    if (n <= 0) return;
    const std::uint64_t now = NowUs();
    last_activity_us_ = now;
    const platform::sim::LineSettings s = pty_.Settings();
    const char parity = "NOEMS"[std::min<int>(s.parity, 4)];
    for (ssize_t i = 0; i < n && pty_.is_open(); ++i) {
      // After the hand-over ('}') the boot loader takes the bytes.
      const bool boot = options_.boot.start_as_boot_loader || tracker_.in_boot_loader();
      const sim::Response r = boot ? boot_loader_.Receive(buf[i], now - start_, s)
                                   : tracker_.Receive(buf[i], now - start_, s);
      const bool garbled = boot ? !boot_loader_.OwnFrame(s) : !tracker_.OwnFrame(s);
      Log(now, "RX %02X %u %u%c%c%s\n", buf[i], s.baud, s.byte_size, parity,
          s.stop_bits == 2 ? '2' : '1', garbled ? " garbled" : "");
      Schedule(now, s, r.sends);
      if (r.vanish) Vanish(now);
    }
  }

  // Each byte takes one character time at the host's rate; bytes follow those still queued.
  void Schedule(std::uint64_t now, const platform::sim::LineSettings& s,
                const std::vector<sim::Transmission>& sends) {
    const unsigned bits = 1 + s.byte_size + (s.parity != 0 ? 1 : 0) + (s.stop_bits == 2 ? 2 : 1);
    const double char_us = s.baud > 0 && !options_.unpaced ? bits * 1e6 / s.baud : 0;
    for (const sim::Transmission& t : sends) {
      std::string hex;
      for (std::size_t i = 0; i < t.bytes.size() && i < 32; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, " %02X", t.bytes[i]);
        hex += b;
      }
      Log(now, "TX +%lluus %zu:%s%s\n", static_cast<unsigned long long>(t.delay_us), t.bytes.size(),
          hex.c_str(), t.bytes.size() > 32 ? " ..." : "");
      double at = static_cast<double>(std::max(now + t.delay_us, wire_free_us_));
      for (std::uint8_t b : t.bytes) {
        at += char_us;
        queue_.push_back({static_cast<std::uint64_t>(at), b});
      }
      wire_free_us_ = static_cast<std::uint64_t>(at);
    }
  }

  void Write() {
    const std::uint64_t limit = NowUs() + kWriteAheadUs;
    std::vector<std::uint8_t> out;
    for (const Pending& p : queue_) {
      if (p.due_us > limit || out.size() >= 4096) break;
      out.push_back(p.byte);
    }
    if (out.empty()) return;
    const ssize_t n = write(pty_.master(), out.data(), out.size());
    if (n > 0) {
      queue_.erase(queue_.begin(), queue_.begin() + n);
      last_activity_us_ = NowUs();
    }
  }

  void Vanish(std::uint64_t now) {
    Log(now, "vanished\n");
    pty_.Close();
    queue_.clear();
  }

  const Options& options_;
  sim::TrackerSim& tracker_;
  sim::BootLoaderSim& boot_loader_;
  sim::tool::Pty& pty_;
  std::FILE* log_;
  const std::uint64_t start_;
  std::deque<Pending> queue_;
  std::uint64_t wire_free_us_ = 0;
  std::uint64_t last_activity_us_ = 0;
  int host_opens_ = 0;
};

bool LoadMemory(const std::string& path, sim::TrackerSim& tracker) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  if (data.size() > sim::kMemorySize) {
    std::fprintf(stderr, "tracker-sim: %s is larger than the track memory; cut\n", path.c_str());
  }
  tracker.memory().Load(data);
  return true;
}

// The track text of a file packed into the memory; false when it cannot be read or holds a
// character the device cannot store.
bool LoadTrackText(const std::string& path, sim::TrackerSim& tracker) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Lines may end in CR LF; the device stores line feeds only.
  std::erase(text, '\r');
  try {
    tracker.memory().Load(sim::PackTrackText(text));
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "tracker-sim: %s: %s\n", path.c_str(), e.what());
    return false;
  }
  return true;
}

// Links prefix/dosdevices/comN to the slave; an earlier link of that name is replaced.
bool LinkPort(const fs::path& link, const std::string& target) {
  std::error_code ec;
  fs::create_directories(link.parent_path(), ec);
  const auto st = fs::symlink_status(link, ec);
  if (fs::is_symlink(st)) {
    fs::remove(link, ec);
  } else if (fs::exists(st)) {
    std::fprintf(stderr, "tracker-sim: %s exists and is no link\n", link.c_str());
    return false;
  }
  fs::create_symlink(target, link, ec);
  if (ec) {
    std::fprintf(stderr, "tracker-sim: %s: %s\n", link.c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

void Unlink(const fs::path& link, const std::string& target) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(link, ec)) && fs::read_symlink(link, ec) == target) {
    fs::remove(link, ec);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  sim::TrackerSim tracker(options.baud);
  tracker.faults() = options.faults;
  sim::BootLoaderSim boot_loader;
  boot_loader.faults() = options.boot.faults;
  if (!options.memory_file.empty() && !LoadMemory(options.memory_file, tracker)) {
    std::fprintf(stderr, "tracker-sim: cannot read %s\n", options.memory_file.c_str());
    return 1;
  }
  if (!options.track_text_file.empty() && !LoadTrackText(options.track_text_file, tracker)) {
    std::fprintf(stderr, "tracker-sim: cannot use %s\n", options.track_text_file.c_str());
    return 1;
  }
  if (options.track_days > 0) {
    sim::TrackPlan plan;
    plan.days = options.track_days;
    tracker.memory().Load(sim::PackTrackText(sim::GenerateTrack(plan).text));
  }
  std::FILE* log = nullptr;
  if (!options.log_file.empty()) {
    log = std::fopen(options.log_file.c_str(), "w");
    if (log == nullptr) {
      std::fprintf(stderr, "tracker-sim: cannot write %s\n", options.log_file.c_str());
      return 1;
    }
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const int signal_fd = signalfd(-1, &signals, SFD_CLOEXEC);

  int result = 1;
  try {
    sim::tool::Pty pty(options.baud);
    const int notify_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (signal_fd < 0 || notify_fd < 0 ||
        inotify_add_watch(notify_fd, pty.slave_path().c_str(), IN_OPEN | IN_CLOSE) < 0) {
      std::perror("tracker-sim");
      return 1;
    }
    fs::path link;
    if (options.com > 0) {
      link = options.prefix / "dosdevices" / ("com" + std::to_string(options.com));
      if (!LinkPort(link, pty.slave_path())) return 1;
    }
    std::printf("%s\n", pty.slave_path().c_str());
    std::fflush(stdout);
    Server server(options, tracker, boot_loader, pty, log);
    result = server.Run(signal_fd, notify_fd);
    if (!options.boot.flash_file.empty() &&
        !sim::tool::WriteFlash(options.boot.flash_file, boot_loader)) {
      std::fprintf(stderr, "tracker-sim: cannot write %s\n", options.boot.flash_file.c_str());
      result = 1;
    }
    if (!link.empty()) Unlink(link, pty.slave_path());
    close(notify_fd);
  } catch (const std::system_error& e) {
    std::fprintf(stderr, "tracker-sim: %s\n", e.what());
  }
  if (log != nullptr) std::fclose(log);
  return result;
}
