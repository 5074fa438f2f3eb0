#include "bench/BenchTiming.h"

#include <sys/resource.h>

#include <chrono>

namespace tolvo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double WallNow() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }

double CpuNow() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

Stopwatch::Stopwatch() : wall_(WallNow()), cpu_(CpuNow()) {}

void Stopwatch::Stop(RunResult& result) const {
  result.seconds = WallNow() - wall_;
  result.cpuSeconds = CpuNow() - cpu_;
}

}  // namespace tolvo::bench
