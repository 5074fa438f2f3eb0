// The random numbers of the demo maker: a small generator of our own
// (splitmix64), so that the files do not depend on the standard library's
// distributions and every demo folder made from one seed is the same.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolvo::demo {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  int Between(int lo, int hi) {
    return lo + static_cast<int>(Below(static_cast<std::size_t>(hi - lo + 1)));
  }
  bool Percent(int p) { return Below(100) < static_cast<std::size_t>(p); }
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  char Letter() { return static_cast<char>('A' + Below(26)); }
  char Digit() { return static_cast<char>('0' + Below(10)); }

 private:
  std::uint64_t state_;
};

}  // namespace tolvo::demo
