// SPDX-License-Identifier: GPL-3.0-or-later
// plot_outside: what plotting costs the built program, measured from outside. The program
// runs as a user runs it, a process of its own on a pty; the board prints 16 values a line
// ("s0:12.345,s1:...") at 1,000 lines a second, paced every 10 ms, once with the Plot tab in
// view (--plot) and once with it hidden (the panel tab in view, as after start-up). Reported
// for each: the program's CPU over the stream as a share of one core (from /proc), its peak
// RSS, and with the plot in view the plot's repaints a second and the longest time it went
// without one (from the program's paint trace, KORVANI_PAINT_TRACE). Each state runs --runs
// times (3 unless told), alternating, and the median is shown with the range.
//
// Usage: plot_outside [--seconds N] [--runs N] [--program PATH]
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hmi/link/protocol.h"
#include "program_process.h"
#include "pty_harness.h"

namespace {

using namespace korvani::bench;  // the program's process and the pty

constexpr double kSettleSeconds = 2;
constexpr int kSeries = 16;
constexpr int kLinesPerTick = 10;  // every 10 ms: 1,000 lines a second
constexpr double kTickSeconds = 0.010;

struct Run {
  bool Measured = false;
  double CpuPercent = 0;
  double PeakRss = 0;
  double PaintsPerSecond = 0;
  double LongestGapMs = 0;
};

std::string Lines(int first) {
  std::string text;
  char value[32];
  for (int line = first; line < first + kLinesPerTick; ++line) {
    for (int s = 0; s < kSeries; ++s) {
      std::snprintf(value, sizeof value, "%ss%d:%.3f", s == 0 ? "" : ",", s, 50 * std::sin(line * 0.002 + s));
      text += value;
    }
    text += "\r\n";
  }
  return text;
}

Run Measure(const std::string& program, bool plotInView, double seconds, const QTemporaryDir& folder,
            PtyPair& pty) {
  Run run;
  const std::string paints = folder.filePath("paints.txt").toStdString();
  qputenv("KORVANI_PAINT_TRACE", QByteArray::fromStdString(paints));
  std::vector<std::string> arguments = {"--port", pty.SlavePath};
  if (plotInView) {
    arguments.emplace_back("--plot");
  }
  RunningProgram korvani(program, arguments, folder);
  if (!AwaitConnection(korvani, pty)) {
    return run;
  }
  Pause(kSettleSeconds);
  const std::string stat = "/proc/" + std::to_string(korvani.Id()) + "/stat";
  const double cpuBefore = CpuSecondsOf(stat);
  const std::int64_t startNs = NowNanoseconds();
  const auto streamStart = Clock::now();
  int line = 0;
  for (int tick = 0; tick < static_cast<int>(seconds / kTickSeconds); ++tick) {
    pty.WriteAll(Lines(line));
    line += kLinesPerTick;
    Drain(pty);  // what the program answers is not read here
    const double due = (tick + 1) * kTickSeconds;
    const double wait = due - SecondsSince(streamStart);
    if (wait > 0) {
      Pause(wait);
    }
  }
  const double elapsed = SecondsSince(streamStart);
  run.CpuPercent = (CpuSecondsOf(stat) - cpuBefore) / elapsed * 100;
  const Repaints repaints = ReadRepaints(paints, startNs, NowNanoseconds());
  run.LongestGapMs = repaints.LongestGapMs;
  run.PaintsPerSecond = repaints.Count / elapsed;
  pty.WriteAll(korvani::hmi::link::BoardMessage('r'));
  run.Measured = pty.AwaitClock(60000);  // it kept up: the clock request after it is answered
  run.PeakRss = PeakRssMegabytes("/proc/" + std::to_string(korvani.Id()) + "/status");
  return run;
}

}  // namespace

int main(int argc, char* argv[]) {
  double seconds = 20;
  int runs = 3;
  std::string program = DefaultProgram();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::stod(argv[++i]);
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::stoi(argv[++i]));
    } else if (arg == "--program" && i + 1 < argc) {
      program = std::filesystem::absolute(argv[++i]).string();  // it runs in a folder of its own
    } else {
      std::fprintf(stderr, "Usage: plot_outside [--seconds N] [--runs N] [--program PATH]\n");
      return 2;
    }
  }
  QTemporaryDir folder;
  PrepareOutsideEnvironment(folder);
  PtyPair pty;
  if (pty.Master < 0) {
    std::perror("plot_outside: openpty");
    return 1;
  }
  std::vector<Run> shown;
  std::vector<Run> hidden;
  for (int i = 0; i < runs; ++i) {
    for (const bool inView : {true, false}) {
      const Run run = Measure(program, inView, seconds, folder, pty);
      if (!run.Measured) {
        std::fprintf(stderr, "plot_outside: the program did not keep up or did not come up\n");
        return 1;
      }
      (inView ? shown : hidden).push_back(run);
    }
  }
  const auto byCpu = [](const Run& a, const Run& b) { return a.CpuPercent < b.CpuPercent; };
  std::sort(shown.begin(), shown.end(), byCpu);
  std::sort(hidden.begin(), hidden.end(), byCpu);
  std::printf("16 series at 1,000 lines a second for %.0f s on %s; platform %s; median of %d runs\n\n",
              seconds, pty.SlavePath.c_str(), PlatformName().c_str(), runs);
  std::printf(
      "| Plot tab | CPU %% of a core | of all runs | peak RSS MB | repaints a second | longest repaint gap "
      "ms |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const auto* state : {&shown, &hidden}) {
    const Run& median = (*state)[state->size() / 2];
    const bool inView = state == &shown;
    std::printf("| %s | %.1f | %.1f-%.1f | %.0f | %s | %s |\n", inView ? "in view" : "hidden",
                median.CpuPercent, state->front().CpuPercent, state->back().CpuPercent, median.PeakRss,
                inView ? std::to_string(static_cast<int>(median.PaintsPerSecond + 0.5)).c_str() : "-",
                inView ? std::to_string(static_cast<int>(median.LongestGapMs + 0.5)).c_str() : "-");
  }
  std::printf("\nThe plot in view costs %.1f%% of a core more than hidden (medians).\n",
              shown[shown.size() / 2].CpuPercent - hidden[hidden.size() / 2].CpuPercent);
  return 0;
}
