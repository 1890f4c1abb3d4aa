// Writes a 64 KB image with the loader window (headless widget set, real serial port) to the
// simulator tool's boot loader over a pseudo-terminal, and compares the time with the pauses
// the protocol mandates (two before block 0, one before each other block). Goal: at most 1.05
// times that. On a real line each block also takes its 256 bytes at 460800 baud; a pty carries
// them without that line time, so the protocol's minimum with it is shown for reference only.
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "prog/form_prog.h"
#include "serial_event/serial_event.h"
#include "sim/intel_hex.h"
#include "sim/tool_process.h"
#include "vcl/headless.h"

namespace fs = std::filesystem;
namespace hl = vcl::headless;

int main() {
  std::string pattern = (fs::temp_directory_path() / "flasket-bench-XXXXXX").string();
  const fs::path root = ::mkdtemp(pattern.data());
  const fs::path prefix = root / "prefix";
  fs::create_directories(prefix / "dosdevices");
  ::setenv("TRAKMON_PREFIX", prefix.c_str(), 1);

  std::vector<std::uint8_t> image(0x10000);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  const fs::path hex = root / "firmware.hex";
  std::ofstream(hex, std::ios::binary) << sim::MakeIntelHex(image);
  const fs::path flash = root / "flash.bin";

  int result = 1;
  {
    sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", prefix.string(), "--com", "3", "--start",
                                             "boot-loader", "--flash", flash.string()});
    if (tool.ReadLine().empty()) {
      std::fprintf(stderr, "bench_flasket_write: the simulator tool did not start\n");
      return 1;
    }
    hl::Session gui;
    CreateSerialPort();
    Application->CreateForm<TFormProg>(&FormProg);
    FormProg->Show();
    gui.responder().AnswerOpenDialog(hex.string().c_str());
    hl::Click(FormProg->sb_open_files);
    // The tool's port, as the user picks it (the machine may list ports of its own before it).
    FormProg->ComboBox1->ItemIndex = FormProg->ComboBox1->Items->IndexOf("COM3");
    hl::Click(FormProg->sb_connect);
    if (FormProg->connected != 1) {
      std::fprintf(stderr, "bench_flasket_write: COM3 did not open\n");
      return 1;
    }
    hl::Pick(FormProg->PageControl1, " Write Mem.");

    const int blocks = FormProg->end_addr / 256 + 1;
    const auto start = std::chrono::steady_clock::now();
    hl::Click(FormProg->sb_write_all);
    const bool done = hl::PumpUntil([] { return FormProg->mode == MODE_IDLE; },
                                    std::chrono::seconds(blocks / 2 + 60));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    FormProg->close_port();
    hl::PumpMessages();
    DestroySerialPort();
    tool.Stop(SIGTERM);

    std::ifstream in(flash, std::ios::binary);
    const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(in), {}};
    const bool same =
        written.size() >= image.size() && std::equal(image.begin(), image.end(), written.begin());
    const double pauses = (blocks + 1) * 0.100;
    const double minimum = pauses + blocks * 256 * 10 / 460800.0;
    std::printf("flasket write of 64 KB (%d blocks) over a pty: %.3f s%s\n", blocks, seconds,
                !done   ? "  -- the write did not end"
                : !same ? "  -- the flash differs"
                        : "");
    std::printf("  to the mandated pauses (%.3f s): ratio %.4f (goal: at most 1.05)\n", pauses,
                seconds / pauses);
    std::printf(
        "  for reference, the minimum on a real line with its byte time (%.3f s): ratio %.4f; a "
        "pty imposes no line time, so this ratio says little here\n",
        minimum, seconds / minimum);
    const bool met = done && same && seconds / pauses <= 1.05;
    std::printf("%s\n", met ? "goal met" : "GOAL MISSED");
    result = done && same ? 0 : 1;
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return result;
}
