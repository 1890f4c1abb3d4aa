// A full-memory "gps_msg.txt" converted through the three stages the window runs: the log into
// the valid-fix and no-fix files and the restart report, the work file, and the day split. Each
// size runs in a child process of its own so that its peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/crt.h"
#include "read_dev/track_days.h"
#include "read_dev/track_records.h"
#include "read_dev/track_work.h"
#include "sim/track_memory.h"
#include "vcl/string_list.h"
#include "vcl/sysutils.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMemoryBytes = 0x210000;
constexpr double kGoalRecordsPerSecond = 350'000;
constexpr double kGoalPeakMb = 64;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void WriteText(const std::string& path, const std::string& text) {
  FILE* f = crt::fopen(path.c_str(), "wt");
  if (f == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

struct Figures {
  double stage[3];
  long records;
  long peak_kb;
};

// The three stages over `log` (the text the dump wrote) in `dir`, as the window runs them.
Figures Run(const std::string& log, const std::string& dir) {
  Figures fig{};
  const AnsiString marker = "/012345543210/";
  WriteText(dir + "/gps_msg.txt", log);
  TStringList list;

  auto t = Clock::now();
  list.LoadFromFile((dir + "/gps_msg.txt").c_str());
  const auto conversion = track::ConvertTrackLines(list, marker);
  WriteText(dir + "/GPS_conv.txt", conversion.valid);
  WriteText(dir + "/GPSV_conv.txt", conversion.nofix);
  list.LoadFromFile((dir + "/GPS_conv.txt").c_str());
  TStringList report;
  for (const AnsiString& line : track::BuildReloadReport(list, marker, 4.0 / 24)) report.Add(line);
  report.SaveToFile((dir + "/Reload.txt").c_str());
  fig.stage[0] = Seconds(t);

  t = Clock::now();
  const auto points = track::ReadConvertedPoints(list, marker);
  WriteText(dir + "/GPS_WORK.txt", track::WorkFileText(points));
  list.LoadFromFile((dir + "/GPS_WORK.txt").c_str());
  fig.stage[1] = Seconds(t);

  t = Clock::now();
  for (const auto& day : track::GroupByDays(track::ReadWorkPoints(list))) {
    WriteText(dir + "/" + day.stem.str() + "_TC.txt", day.text);
  }
  fig.stage[2] = Seconds(t);

  for (char c : log) fig.records += c == '$';
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  fig.peak_kb = usage.ru_maxrss;
  return fig;
}

}  // namespace

int main() {
  // A track of 10-second records that fills the memory, as the dump unpacks it: two characters
  // per byte of the 2,162,160 bytes a full dump reads.
  sim::TrackPlan plan;
  plan.days = 40;
  plan.interval_s = 10;
  std::string full = sim::GenerateTrack(plan).text;
  full.resize(std::min(full.size(), (kMemoryBytes - 528) * 2));

  const fs::path dir = fs::temp_directory_path() / ("bench_track_" + std::to_string(getpid()));
  std::printf("conversion, work file and day split of a full-memory log (%zu characters)\n",
              full.size());
  std::printf("%-8s %10s %9s %9s %9s %9s %12s %9s\n", "size", "records", "conv s", "work s",
              "days s", "total s", "records/s", "peak MB");
  bool ok = true;
  double per_record[3] = {};
  const struct {
    const char* name;
    int quarters;
  } sizes[] = {{"quarter", 1}, {"half", 2}, {"whole", 4}};
  for (int i = 0; i < 3; ++i) {
    const std::string log = full.substr(0, full.size() * sizes[i].quarters / 4);
    const fs::path run = dir / sizes[i].name;
    fs::create_directories(run);
    int pipe_fd[2];
    if (pipe(pipe_fd) != 0) return 1;
    const pid_t child = fork();
    if (child == 0) {
      close(pipe_fd[0]);
      const Figures fig = Run(log, run.string());
      [[maybe_unused]] auto n = write(pipe_fd[1], &fig, sizeof fig);
      _exit(0);
    }
    close(pipe_fd[1]);
    Figures fig{};
    const bool got = read(pipe_fd[0], &fig, sizeof fig) == sizeof fig;
    close(pipe_fd[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!got) {
      std::printf("%-8s failed\n", sizes[i].name);
      return 1;
    }
    const double total = fig.stage[0] + fig.stage[1] + fig.stage[2];
    const double rate = fig.records / total;
    const double peak_mb = fig.peak_kb / 1024.0;
    per_record[i] = total / fig.records;
    std::printf("%-8s %10ld %9.3f %9.3f %9.3f %9.3f %12.0f %9.1f\n", sizes[i].name, fig.records,
                fig.stage[0], fig.stage[1], fig.stage[2], total, rate, peak_mb);
    ok = ok && rate >= kGoalRecordsPerSecond && peak_mb < kGoalPeakMb;
  }
  fs::remove_all(dir);
  // Linear growth: the time per record of the whole log within 1.5 times that of the quarter.
  const double growth = per_record[2] / per_record[0];
  const bool linear = growth <= 1.5;
  std::printf(
      "goal: at least %.0f records/s for the three stages together (GPSBabel's NMEA to CSV "
      "does about 70,000/s), under %.0f MB, linear growth\n",
      kGoalRecordsPerSecond, kGoalPeakMb);
  std::printf("time per record, whole / quarter: %.2f (goal at most 1.5)\n", growth);
  std::printf("%s\n", ok && linear ? "goal met" : "GOAL MISSED");
  return 0;
}
