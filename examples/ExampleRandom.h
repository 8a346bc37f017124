// ExampleRandom: a small seeded generator (SplitMix64) with the few
// distributions the example data needs. It is written out here rather than
// taken from <random>, whose distributions differ between standard
// libraries, so the example file is the same everywhere.
#ifndef ZELCRAFT_EXAMPLES_EXAMPLERANDOM_H_
#define ZELCRAFT_EXAMPLES_EXAMPLERANDOM_H_

#include <cmath>
#include <cstdint>

class ExampleRandom {
 public:
  explicit ExampleRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  // Uniform in [low, high].
  int64_t Between(int64_t low, int64_t high) {
    return low + static_cast<int64_t>(Next() % static_cast<uint64_t>(high - low + 1));
  }
  bool Chance(double p) { return Uniform() < p; }
  // Standard normal, by Box-Muller.
  double Normal() {
    const double u = 1.0 - Uniform();  // in (0, 1], so the logarithm is finite
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Uniform());
  }

 private:
  uint64_t state_;
};

#endif  // ZELCRAFT_EXAMPLES_EXAMPLERANDOM_H_
