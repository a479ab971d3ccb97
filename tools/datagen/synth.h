#ifndef DATAGEN_SYNTH_H
#define DATAGEN_SYNTH_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/datagen/rng.h"

// Sound building blocks at 44100 Hz, in floats.
const int SampleRate = 44100;

float MidiToHz(float note);

// Band-limited sawtooth and square (polyBLEP) from a phase in cycles.
class Oscillator {
 public:
  explicit Oscillator(float startPhase = 0) : phase_(startPhase) {}
  float Saw(float hz);
  float Square(float hz, float width = 0.5f);
  float Sine(float hz);
  float Triangle(float hz);

 private:
  float Advance(float hz);
  float phase_;
};

// Trapezoidal state-variable filter: low, band and high pass at once.
class Filter {
 public:
  void Run(float in, float cutoffHz, float resonance);
  float low = 0, band = 0, high = 0;

 private:
  float ic1_ = 0, ic2_ = 0;
};

// Attack, decay to sustain while held, then release, over time t of a note
// held for 'held' seconds.
float Adsr(float t, float attack, float decay, float sustain, float held, float release);

// Two channels of equal length.
struct StereoBuffer {
  explicit StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t Frames() const { return left.size(); }
  // Adds v at frame i, placed by pan (-1 left .. 1 right) at constant power.
  void Add(size_t i, float v, float pan);

  std::vector<float> left, right;
};

// A small room: parallel combs into series all-passes, per channel, mixed in
// with the given wet level.
void AddReverb(StereoBuffer& buffer, float wet, float decay);

// Scales the buffer so that its peak is 'peak', with a soft knee above 0.7.
void Normalize(std::vector<float>& samples, float peak);
void Normalize(StereoBuffer& buffer, float peak);

std::vector<float> Interleave(const StereoBuffer& buffer);

#endif
