// The whole track memory (start 0, end 210210: 0x210000 bytes) dumped by the window's dump
// handler from the simulator tool over a pseudo-terminal at 921600 baud: once with the tool
// sending as fast as the host reads, then with the tool pacing bytes at the line rate, on the
// headless widget set and, where the program is built with it, on the Qt widget set (offscreen),
// whose controls the page turns update as the user's window does.
//
// The paced dump cannot be faster than its floor: the line time of its bytes, the handler's
// fixed pauses and the device's own turn to each next page. What it takes beyond that is the
// host's page turns: from the tool's record of the exchange the benchmark shows what a page
// turn costs on the line, and what the host did between its 0x55 and its 0xAA.
//
// Exits 1 when a goal is missed (or a dump failed).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tool_process.h"
#include "sim/tracker_sim.h"
#include "vcl/headless.h"

#ifdef BENCH_WITH_QT
#include <QApplication>

#include "vcl/qt_widgetset.h"
#endif

namespace {

namespace fs = std::filesystem;

constexpr double kBaud = 921600;
constexpr double kMemoryBytes = 0x210000;
constexpr double kCharUs = 10 * 1e6 / kBaud;
constexpr double kLineSeconds = kMemoryBytes * kCharUs / 1e6;  // 23.47 s
constexpr double kPages = kMemoryBytes / sim::kPageSize;       // 4096
// The handler's pauses around the command byte.
constexpr double kPausesSeconds = 0.400;
// The line time, the pauses and the device's turn to each page after the first.
constexpr double kFloorSeconds =
    kLineSeconds + kPausesSeconds + (kPages - 1) * sim::kPageTurnUs / 1e6;
constexpr double kGoalUnpacedRatio = 5;   // at least 5 x the line rate
constexpr double kGoalOverFloor = 1.015;  // the paced dump within 1.5 % of its floor

// What the page turns of one dump cost, from the tool's record.
struct PageTurns {
  int count = 0;
  // On the line: from the last byte of a page to the first of the next (the device's own turn
  // included), microseconds.
  double line_total = 0, line_median = 0, line_mean = 0, line_p99 = 0;
  // The host's 0x55 to its 0xAA as the tool received them, microseconds.
  double acks_median = 0, acks_max = 0;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// Reads the tool's log: each "TX" line schedules bytes (one character time each, after the
// bytes still queued, from the time of the line plus its delay), each "RX" line a byte from the
// host. The tool writes up to a millisecond ahead of a byte's time; the times here are those on
// the line.
PageTurns ReadPageTurns(const fs::path& log) {
  std::ifstream in(log);
  std::string line;
  double wire_free = 0;
  double page_end = -1;  // when the last byte of the page before is on the line
  double low_at = -1;
  std::vector<double> turns, acks;
  while (std::getline(in, line)) {
    double at_s = 0;
    char kind[3] = {};
    unsigned long long delay_us = 0;
    std::size_t bytes = 0;
    unsigned byte = 0;
    if (std::sscanf(line.c_str(), "%lf %2s", &at_s, kind) != 2) continue;
    const double at = at_s * 1e6;
    if (std::string(kind) == "TX" &&
        std::sscanf(line.c_str(), "%*f TX +%lluus %zu:", &delay_us, &bytes) == 2) {
      const double start = std::max(at + static_cast<double>(delay_us), wire_free);
      if (bytes == sim::kPageSize) {
        if (page_end >= 0) turns.push_back(start - page_end);
        page_end = start + bytes * kCharUs;
      }
      wire_free = start + bytes * kCharUs;
    } else if (std::string(kind) == "RX" && std::sscanf(line.c_str(), "%*f RX %x", &byte) == 1) {
      if (byte == 0x55) low_at = at;
      if (byte == 0xAA && low_at >= 0) acks.push_back(at - low_at);
    }
  }
  PageTurns t;
  t.count = static_cast<int>(turns.size());
  if (turns.empty()) return t;
  for (double v : turns) t.line_total += v;
  t.line_mean = t.line_total / static_cast<double>(turns.size());
  t.line_median = Percentile(turns, 0.5);
  t.line_p99 = Percentile(turns, 0.99);
  t.acks_median = Percentile(acks, 0.5);
  t.acks_max = Percentile(acks, 1.0);
  return t;
}

// The widget set of a run.
enum class Gui { Headless, Qt };

// One dump of the whole memory; the seconds it took, or a negative value when it failed.
double DumpOnce(const fs::path& prefix, bool unpaced, Gui set, const fs::path& log) {
  std::vector<std::string> options = {"--prefix", prefix.string(), "--com", "1",     "--baud",
                                      "921600",   "--track",       "3",     "--log", log.string()};
  if (unpaced) options.push_back("--unpaced");
  sim::ToolProcess tool(TRACKER_SIM_TOOL, options);
  if (tool.ReadLine().empty()) {
    std::fprintf(stderr, "bench: the simulator tool did not start\n");
    return -1;
  }
  // The headless set answers the modal boxes and records them; the Qt set is told to answer
  // them itself, and they are seen on stderr.
  std::unique_ptr<vcl::headless::Session> headless;
#ifdef BENCH_WITH_QT
  std::unique_ptr<vcl::qt::QtWidgetSet> qt;
#endif
  if (set == Gui::Headless) {
    headless = std::make_unique<vcl::headless::Session>();
  } else {
#ifdef BENCH_WITH_QT
    qt = std::make_unique<vcl::qt::QtWidgetSet>();
    qt->SetAutoAnswer(true);
    vcl::SetWidgetSet(qt.get());
    vcl::ResetApplication();
#endif
  }
  TML_Form* form = nullptr;
  Application->CreateForm<TML_Form>(&form);
  ML_Form = form;
  form->Show();
  // The download panel in view, as the download buttons have it.
  form->Panel4->Visible = true;
  form->Panel4->BringToFront();
  double seconds = -1;
  if (CommPort->Open(0, 4096, 4096) == 0) {
    CommPort->SetBaudRate(static_cast<int>(kBaud));
    form->Edit1->Text = "0000";
    form->Edit2->Text = "210210";
    const auto t = std::chrono::steady_clock::now();
    Application->Guard([form] { form->SBRead_D3->Click(); });
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    CommPort->Close();
    if (headless)
      for (const auto& shown : headless->responder().Shown()) {
        std::printf("  shown: %s\n", shown.text.c_str());
        seconds = -1;
      }
    const auto file = prefix / "drive_c/Tc/WorkDir/gps_msg.txt";
    std::error_code ec;
    if (fs::file_size(file, ec) < 2 * kMemoryBytes) {
      std::printf("  gps_msg.txt does not hold the whole memory\n");
      seconds = -1;
    }
    fs::remove(file, ec);
  } else {
    std::fprintf(stderr, "bench: COM1 does not open\n");
  }
  ML_Form = nullptr;
#ifdef BENCH_WITH_QT
  if (qt) {
    vcl::ResetApplication();
    vcl::SetWidgetSet(nullptr);
  }
#endif
  tool.Stop();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path prefix = fs::temp_directory_path() / ("bench_dump_" + std::to_string(getpid()));
  fs::create_directories(prefix / "drive_c/Tc/WorkDir");
  setenv("TRAKMON_PREFIX", prefix.c_str(), 1);
  platform::testing::SetModuleFileName((prefix / "Trakmon").string());
  std::vector<Gui> paced_sets = {Gui::Headless};
#ifdef BENCH_WITH_QT
  // No window on the user's screen: Qt paints into memory. Its notes on what that platform
  // lacks (raising a window) are no result.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  QApplication app(argc, argv);
  paced_sets.push_back(Gui::Qt);
#endif

  std::printf(
      "whole memory dump (0 to 210210: %.0f bytes read) over a pty at 921600 baud; "
      "line time %.2f s\n",
      kMemoryBytes, kLineSeconds);
  std::printf(
      "floor of the paced dump: the line time, the handler's pauses %.2f s and the device's "
      "turn to each page (%.0f us) %.2f s: %.2f s (%.3f x the line time)\n",
      kPausesSeconds, static_cast<double>(sim::kPageTurnUs), (kPages - 1) * sim::kPageTurnUs / 1e6,
      kFloorSeconds, kFloorSeconds / kLineSeconds);
  bool ok = true;
  struct Run {
    const char* name;
    bool unpaced;
    Gui set;
  };
  std::vector<Run> runs = {{"unpaced", true, Gui::Headless}};
  for (Gui set : paced_sets)
    runs.push_back({set == Gui::Headless ? "paced" : "paced, Qt widget set", false, set});
  for (const Run& run : runs) {
    const fs::path log = prefix / "tool.log";
    const double s = DumpOnce(prefix, run.unpaced, run.set, log);
    if (s < 0) {
      std::printf("%s: failed\n", run.name);
      ok = false;
      continue;
    }
    if (run.unpaced) {
      const double ratio = kLineSeconds / s;
      std::printf("%s: %.2f s, %.0f bytes/s, %.2f x the line rate (goal: at least %.0f x)\n",
                  run.name, s, kMemoryBytes / s, ratio, kGoalUnpacedRatio);
      ok = ok && ratio >= kGoalUnpacedRatio;
      continue;
    }
    const PageTurns t = ReadPageTurns(log);
    std::printf("%s: %.2f s, %.3f x the line time, %.4f x the floor (goal: at most %.3f x)\n",
                run.name, s, s / kLineSeconds, s / kFloorSeconds, kGoalOverFloor);
    std::printf(
        "  page turns on the line (last byte of a page to the first of the next, the device's "
        "%.0f us included): %d, %.2f s in all (the floor counts %.2f s); each: median %.0f us, "
        "mean %.0f us, 99 %% within %.0f us\n",
        static_cast<double>(sim::kPageTurnUs), t.count, t.line_total / 1e6,
        (kPages - 1) * sim::kPageTurnUs / 1e6, t.line_median, t.line_mean, t.line_p99);
    std::printf(
        "  the host's 0x55 to its 0xAA (the progress update between them) as the device "
        "received them: median %.0f us, max %.0f us\n",
        t.acks_median, t.acks_max);
    ok = ok && s / kFloorSeconds <= kGoalOverFloor;
  }
  std::error_code ec;
  fs::remove_all(prefix, ec);
  std::printf("%s\n", ok ? "goal met" : "GOAL MISSED");
  return ok ? 0 : 1;
}
