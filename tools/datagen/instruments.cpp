#include "tools/datagen/instruments.h"

#include <algorithm>
#include <cmath>

namespace {

const float TwoPi = 6.28318531f;

struct Shape {
  float attack, decay, sustain, release;
};

Shape ShapeOf(Instrument i) {
  switch (i) {
    case Instrument::Brass: return {0.04f, 0.15f, 0.75f, 0.12f};
    case Instrument::Bell: return {0.004f, 1.2f, 0.25f, 0.9f};
    case Instrument::Pad: return {0.35f, 0.5f, 0.8f, 0.7f};
    case Instrument::Bass: return {0.005f, 0.25f, 0.55f, 0.06f};
    case Instrument::Pluck: return {0.002f, 0.12f, 0.0f, 0.05f};
    case Instrument::Lead: return {0.02f, 0.1f, 0.8f, 0.1f};
  }
  return {0.01f, 0.1f, 0.5f, 0.1f};
}

}  // namespace

void PlayNote(StereoBuffer& out, Instrument instrument, size_t at, float seconds, float midi,
              float gain, float pan, uint32_t seed) {
  Shape s = ShapeOf(instrument);
  float hz = MidiToHz(midi);
  size_t frames = (size_t)((seconds + s.release) * SampleRate) + 1;
  Rng rng(seed);
  Oscillator a(rng.Unit()), b(rng.Unit()), c(rng.Unit()), mod(0);
  Filter filter;
  for (size_t i = 0; i < frames && at + i < out.Frames(); ++i) {
    float t = (float)i / SampleRate;
    float env = Adsr(t, s.attack, s.decay, s.sustain, seconds, s.release);
    float v = 0;
    switch (instrument) {
      case Instrument::Brass: {
        float vib = 1.0f + 0.004f * std::sin(TwoPi * 5.5f * t) * std::min(1.0f, t * 3.0f);
        float raw = a.Saw(hz * vib * 1.003f) + b.Saw(hz * vib * 0.997f) + 0.5f * c.Square(hz * 0.5f);
        filter.Run(raw, hz * (1.5f + 5.0f * env), 0.2f);
        v = filter.low * 0.35f;
        break;
      }
      case Instrument::Bell: {
        float index = 2.5f * std::exp(-t * 3.0f);
        float m = mod.Sine(hz * 3.5f) * index;
        v = std::sin(TwoPi * hz * t + m) * 0.6f + 0.25f * b.Sine(hz * 2.0f) * std::exp(-t * 2.0f);
        break;
      }
      case Instrument::Pad: {
        float raw = a.Saw(hz * 1.004f) + b.Saw(hz * 0.996f) + c.Triangle(hz * 2.0f) * 0.5f;
        filter.Run(raw, 900.0f + 500.0f * std::sin(TwoPi * 0.2f * t), 0.1f);
        v = filter.low * 0.22f;
        break;
      }
      case Instrument::Bass: {
        float raw = a.Square(hz, 0.4f) * 0.6f + b.Saw(hz) * 0.5f + c.Sine(hz * 0.5f) * 0.6f;
        filter.Run(raw, 180.0f + 1400.0f * std::exp(-t * 12.0f), 0.3f);
        v = filter.low * 0.55f;
        break;
      }
      case Instrument::Pluck: {
        float raw = a.Square(hz, 0.3f) + 0.5f * b.Saw(hz * 2.0f);
        filter.Run(raw, 600.0f + 5000.0f * std::exp(-t * 18.0f), 0.35f);
        v = filter.low * 0.3f;
        break;
      }
      case Instrument::Lead: {
        float vib = 1.0f + 0.006f * std::sin(TwoPi * 6.0f * t) * std::min(1.0f, t * 2.5f);
        float raw = a.Square(hz * vib, 0.45f) + 0.4f * b.Saw(hz * vib * 1.005f);
        filter.Run(raw, 2500.0f, 0.15f);
        v = filter.low * 0.3f;
        break;
      }
    }
    out.Add(at + i, v * env * gain, pan);
  }
}

void PlayKick(StereoBuffer& out, size_t at, float gain) {
  float phase = 0;
  size_t frames = (size_t)(0.45f * SampleRate);
  for (size_t i = 0; i < frames; ++i) {
    float t = (float)i / SampleRate;
    float hz = 45.0f + 95.0f * std::exp(-t * 28.0f);
    phase += hz / SampleRate;
    float v = std::sin(TwoPi * phase) * std::exp(-t * 7.0f);
    if (i < 90) v += (1.0f - i / 90.0f) * 0.4f * std::sin(TwoPi * 1800.0f * t);  // beater click
    out.Add(at + i, v * gain, 0);
  }
}

void PlaySnare(StereoBuffer& out, size_t at, float gain, float pan, uint32_t seed) {
  Rng rng(seed);
  Filter filter;
  Oscillator body;
  size_t frames = (size_t)(0.3f * SampleRate);
  for (size_t i = 0; i < frames; ++i) {
    float t = (float)i / SampleRate;
    filter.Run(rng.Signed(), 3200.0f, 0.3f);
    float noise = (filter.band * 1.6f + filter.high * 0.4f) * std::exp(-t * 16.0f);
    float tone = body.Sine(185.0f * (1.0f + 0.3f * std::exp(-t * 40.0f))) * std::exp(-t * 30.0f);
    out.Add(at + i, (noise * 0.7f + tone * 0.5f) * gain, pan);
  }
}

void PlayHat(StereoBuffer& out, size_t at, float gain, float pan, bool open, uint32_t seed) {
  Rng rng(seed);
  Filter filter;
  float decay = open ? 9.0f : 45.0f;
  size_t frames = (size_t)((open ? 0.4f : 0.1f) * SampleRate);
  for (size_t i = 0; i < frames; ++i) {
    float t = (float)i / SampleRate;
    filter.Run(rng.Signed(), 7500.0f, 0.2f);
    out.Add(at + i, filter.high * std::exp(-t * decay) * 0.35f * gain, pan);
  }
}

void PlayTom(StereoBuffer& out, size_t at, float gain, float pan, float hz) {
  float phase = 0;
  size_t frames = (size_t)(0.9f * SampleRate);
  for (size_t i = 0; i < frames; ++i) {
    float t = (float)i / SampleRate;
    phase += hz * (1.0f + 0.25f * std::exp(-t * 10.0f)) / SampleRate;
    float v = (std::sin(TwoPi * phase) + 0.3f * std::sin(TwoPi * phase * 1.5f)) * std::exp(-t * 4.5f);
    out.Add(at + i, v * 0.7f * gain, pan);
  }
}
