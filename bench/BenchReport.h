// The figures of one benchmark run, their ratios, the table that shows them
// side by side for every N, and the check of the throughput and memory goals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvo::bench {

struct Figure {
  std::string subject;  // "floor", "store", "headless:cb", "dialog:cb", ...
  std::string pass;     // "new" or "find"
  std::int64_t n = 0;
  double seconds = 0;      // the time the rates and ratios are taken from
  double wallSeconds = 0;  // the wall-clock time, shown beside them
  bool wall = false;       // `seconds` is the wall-clock time
  // The CPU time of the measuring process and, for a dialog on a display
  // server, of the server while it ran: what the work costs, whatever else
  // the machine is doing.
  double cpuSeconds = 0;
  std::int64_t records = 0;
  long peakKiB = 0;   // peak resident memory of the measuring process
  std::string error;  // set when the measurement failed
};

// Records per second; 0 for a failed or empty measurement.
double Rate(const Figure& f);
double WallRate(const Figure& f);

// The figure for subject and pass at n, if it was measured and succeeded.
const Figure* FindFigure(const std::vector<Figure>& figures, const std::string& subject,
                         const std::string& pass, std::int64_t n);

// Whether a measurement is timed by the wall clock whatever the clock of the
// run: the dialogs, whose display server works outside the measuring
// process, and the measurements through a Firebird server.
bool TimedByWallClock(const std::string& subject);
// Whether a subject works through the benchmark's Firebird server
// (floor-server, server:<source>); its floor is floor-server.
bool OnServer(const std::string& subject);

// Rate of `f` over the floor's rate (floor-server's for a subject through
// the server) for the same pass and n, both by the clock `f` is timed by.
std::optional<double> FloorRatio(const std::vector<Figure>& figures, const Figure& f);
// For a dialog figure (on any platform) or a changes: one: its rate over the
// headless rate of the same source, pass and n, both by the clock `f` is
// timed by.
std::optional<double> HeadlessRatio(const std::vector<Figure>& figures, const Figure& f);

// One row per subject and pass, one group of columns per n (records per
// second, records per wall-clock second, microseconds per record, CPU
// microseconds per record, ratio to the floor, ratio to headless, peak
// memory), as a Markdown table.
std::string FormatTable(const std::vector<Figure>& figures, const std::vector<std::int64_t>& ns);

struct GoalCheck {
  std::string goal;
  bool met = false;
  std::string detail;
};

// The goals, judged at the largest n (memory: the largest against the
// smallest n): store >= 0.9 x floor; every importer headless >= 0.85 x
// floor; by the wall clock, a record of every importer headless in at most
// 0.9 x the floor's time on new stations and 0.3 x on stations already
// there, and through the server 0.6 x and 0.1 x floor-server's; on stations
// already there, every importer headless within 64 bytes a station of the
// floor's peak memory; every dialog >= 0.75 x its headless figure; on
// stations already there, every importer reporting the stations that differ
// (changes:) in at most 1.1 x its headless time; every importer's peak
// memory at the largest n within 10 MiB of the smallest. On a display server,
// at the largest n: every dialog on X11 at most 15 us per record slower than
// the offscreen one, on Wayland at most 25 us, and on Wayland within 10 MiB
// of the offscreen dialog's peak memory.
std::vector<GoalCheck> CheckGoals(const std::vector<Figure>& figures,
                                  const std::vector<std::int64_t>& ns);

std::string FormatGoals(const std::vector<GoalCheck>& goals);

}  // namespace tolvo::bench
