// What one measurement of the import benchmark yields, and the stopwatch
// that times it: the wall clock and the CPU time of the whole process (the
// embedded engine works in it, in threads of its own), which other work on a
// shared machine disturbs far less.
#pragma once

#include <cstdint>

namespace tolvo::bench {

struct RunResult {
  double seconds = 0;        // the timed part, by the wall clock
  double cpuSeconds = 0;     // the timed part, by the process's CPU time
  std::int64_t records = 0;  // records (rows) handled in it
  std::int64_t found = 0;    // lookups that found their station
  std::int64_t rows = 0;     // rows of STACJE after the commit
};

// Takes the wall clock and the process's CPU time from its construction.
class Stopwatch {
 public:
  Stopwatch();
  // Puts the time since the start into `result`.
  void Stop(RunResult& result) const;

 private:
  double wall_;
  double cpu_;
};

}  // namespace tolvo::bench
