// The figures of one benchmark run, their ratios, the table that shows them
// side by side for every N, and the check of the throughput and memory goals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvo::bench {

struct Figure {
  std::string subject;      // "floor", "store", "headless:cb", "dialog:cb", ...
  std::string pass;         // "new" or "find"
  std::int64_t n = 0;
  double seconds = 0;       // the time the rates and ratios are taken from
  double wallSeconds = 0;   // the wall-clock time, shown beside them
  std::int64_t records = 0;
  long peakKiB = 0;         // peak resident memory of the measuring process
  std::string error;        // set when the measurement failed
};

// Records per second; 0 for a failed or empty measurement.
double Rate(const Figure& f);
double WallRate(const Figure& f);

// The figure for subject and pass at n, if it was measured and succeeded.
const Figure* FindFigure(const std::vector<Figure>& figures, const std::string& subject,
                         const std::string& pass, std::int64_t n);

// Rate of `f` over the floor's rate for the same pass and n.
std::optional<double> FloorRatio(const std::vector<Figure>& figures, const Figure& f);
// For a dialog figure: its rate over the headless rate of the same source,
// pass and n.
std::optional<double> HeadlessRatio(const std::vector<Figure>& figures, const Figure& f);

// One row per subject and pass, one group of columns per n (records per
// second, records per wall-clock second, ratio to the floor, ratio to
// headless, peak memory), as a Markdown table.
std::string FormatTable(const std::vector<Figure>& figures, const std::vector<std::int64_t>& ns);

struct GoalCheck {
  std::string goal;
  bool met = false;
  std::string detail;
};

// The goals, judged at the largest n (memory: the largest against the
// smallest n): store >= 0.9 x floor; every importer headless >= 0.85 x
// floor; every dialog >= 0.75 x its headless figure; every importer's peak
// memory at the largest n within 10 MiB of the smallest.
std::vector<GoalCheck> CheckGoals(const std::vector<Figure>& figures,
                                  const std::vector<std::int64_t>& ns);

std::string FormatGoals(const std::vector<GoalCheck>& goals);

}  // namespace tolvo::bench
