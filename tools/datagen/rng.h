#ifndef DATAGEN_RNG_H
#define DATAGEN_RNG_H

#include <cstdint>

// The generator's own chance source: a fixed-seed xorshift, so every run draws
// the same numbers on every machine.
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}

  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [0, 1).
  float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
  // Uniform in [-1, 1).
  float Signed() { return Unit() * 2.0f - 1.0f; }

 private:
  uint32_t state_;
};

#endif
