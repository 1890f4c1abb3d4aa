// The whole track memory (start 0, end 0x210000) dumped by the window's dump handler from the
// simulator tool over a pseudo-terminal at 921600 baud: once with the tool sending as fast as
// the host reads, once with the tool pacing bytes at the line rate.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tool_process.h"
#include "sim/tracker_sim.h"
#include "vcl/headless.h"

namespace {

namespace fs = std::filesystem;

constexpr double kBaud = 921600;
constexpr double kMemoryBytes = 0x210000;
constexpr double kLineSeconds = kMemoryBytes * 10 / kBaud;  // 23.47 s
constexpr double kGoalUnpacedRatio = 5;                     // at least 5 x the line rate
constexpr double kGoalPacedRatio = 1.05;                    // at most 1.05 x the line time

// One dump of the whole memory; the seconds it took, or a negative value when it failed.
double DumpOnce(const fs::path& prefix, bool unpaced, long& bytes) {
  std::vector<std::string> options = {"--prefix", prefix.string(), "--com",   "1",
                                      "--baud",   "921600",        "--track", "3"};
  if (unpaced) options.push_back("--unpaced");
  sim::ToolProcess tool(TRACKER_SIM_TOOL, options);
  if (tool.ReadLine().empty()) {
    std::fprintf(stderr, "bench: the simulator tool did not start\n");
    return -1;
  }
  vcl::headless::Session gui;
  TML_Form* form = nullptr;
  Application->CreateForm<TML_Form>(&form);
  ML_Form = form;
  double seconds = -1;
  if (CommPort->Open(0, 4096, 4096) == 0) {
    CommPort->SetBaudRate(static_cast<int>(kBaud));
    form->Edit1->Text = "0000";
    form->Edit2->Text = "210000";
    const auto t = std::chrono::steady_clock::now();
    vcl::headless::ForceClick(form->SBRead_D3);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    CommPort->Close();
    for (const auto& shown : gui.responder().Shown()) {
      std::printf("  shown: %s\n", shown.text.c_str());
      seconds = -1;
    }
    bytes = static_cast<long>(fs::file_size(prefix / "drive_c/Tc/WorkDir/gps_msg.txt"));
  } else {
    std::fprintf(stderr, "bench: COM1 does not open\n");
  }
  ML_Form = nullptr;
  return seconds;
}

}  // namespace

int main() {
  const fs::path prefix = fs::temp_directory_path() / ("bench_dump_" + std::to_string(getpid()));
  fs::create_directories(prefix / "drive_c/Tc/WorkDir");
  setenv("TRAKMON_PREFIX", prefix.c_str(), 1);
  platform::testing::SetModuleFileName((prefix / "Trakmon").string());

  std::printf(
      "whole memory dump (0 to 0x210000, %.0f bytes read) over a pty at 921600 baud; "
      "line time %.2f s\n",
      kMemoryBytes - 528, kLineSeconds);
  bool ok = true;
  for (bool unpaced : {true, false}) {
    long file_bytes = 0;
    const double s = DumpOnce(prefix, unpaced, file_bytes);
    if (s < 0) {
      std::printf("%-9s failed\n", unpaced ? "unpaced" : "paced");
      ok = false;
      continue;
    }
    const double rate = (kMemoryBytes - 528) / s;
    const double ratio = kLineSeconds / s;
    std::printf(
        "%-9s %8.2f s %10.0f bytes/s  %.2f x the line rate (%.3f x the line time), "
        "gps_msg.txt %ld bytes\n",
        unpaced ? "unpaced" : "paced", s, rate, ratio, s / kLineSeconds, file_bytes);
    if (unpaced) {
      std::printf("          goal: at least %.0f x the line rate\n", kGoalUnpacedRatio);
      ok = ok && ratio >= kGoalUnpacedRatio;
    } else {
      // What the exchange itself holds beyond the bytes: the handler's pauses before the
      // command and the device's turn to each next page.
      const double pages = (kMemoryBytes - 528) / sim::kPageSize;
      std::printf(
          "          of which fixed: the handler's pauses 0.40 s, the device's page turns "
          "%.2f s\n",
          (pages - 1) * sim::kPageTurnUs / 1e6);
      std::printf("          goal: at most %.2f x the line time\n", kGoalPacedRatio);
      ok = ok && s / kLineSeconds <= kGoalPacedRatio;
    }
  }
  fs::remove_all(prefix);
  std::printf("%s\n", ok ? "goal met" : "GOAL MISSED");
  return 0;
}
