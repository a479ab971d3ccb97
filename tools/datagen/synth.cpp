#include "tools/datagen/synth.h"

#include <algorithm>
#include <cmath>

namespace {

const float TwoPi = 6.28318531f;

// Correction of a hard step at phase 0 for a phase increment dt.
float PolyBlep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

}  // namespace

float MidiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

float Oscillator::Advance(float hz) {
  float p = phase_;
  phase_ += hz / SampleRate;
  phase_ -= std::floor(phase_);
  return p;
}

float Oscillator::Saw(float hz) {
  float dt = hz / SampleRate;
  float p = Advance(hz);
  return 2.0f * p - 1.0f - PolyBlep(p, dt);
}

float Oscillator::Square(float hz, float width) {
  float dt = hz / SampleRate;
  float p = Advance(hz);
  float v = p < width ? 1.0f : -1.0f;
  float q = p - width;
  q -= std::floor(q);
  return v + PolyBlep(p, dt) - PolyBlep(q, dt);
}

float Oscillator::Sine(float hz) { return std::sin(TwoPi * Advance(hz)); }

float Oscillator::Triangle(float hz) {
  float p = Advance(hz);
  return 4.0f * std::fabs(p - 0.5f) - 1.0f;
}

void Filter::Run(float in, float cutoffHz, float resonance) {
  cutoffHz = std::clamp(cutoffHz, 20.0f, SampleRate * 0.45f);
  float g = std::tan(3.14159265f * cutoffHz / SampleRate);
  float k = 2.0f - 2.0f * std::clamp(resonance, 0.0f, 0.98f);
  float a1 = 1.0f / (1.0f + g * (g + k));
  float a2 = g * a1;
  float a3 = g * a2;
  float v3 = in - ic2_;
  float v1 = a1 * ic1_ + a2 * v3;
  float v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2.0f * v1 - ic1_;
  ic2_ = 2.0f * v2 - ic2_;
  low = v2;
  band = v1;
  high = in - k * v1 - v2;
}

float Adsr(float t, float attack, float decay, float sustain, float held, float release) {
  auto level = [&](float u) {
    if (u < attack) return u / attack;
    if (u < attack + decay) return 1.0f - (1.0f - sustain) * (u - attack) / decay;
    return sustain;
  };
  if (t < 0) return 0;
  if (t < held) return level(t);
  float r = t - held;
  return r < release ? level(held) * (1.0f - r / release) : 0.0f;
}

void StereoBuffer::Add(size_t i, float v, float pan) {
  if (i >= left.size()) return;
  float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.78539816f;
  left[i] += v * std::cos(angle);
  right[i] += v * std::sin(angle);
}

namespace {

class Comb {
 public:
  Comb(size_t length, float feedback) : line_(length, 0.0f), feedback_(feedback) {}
  float Run(float in) {
    float out = line_[pos_];
    damp_ = out * 0.7f + damp_ * 0.3f;
    line_[pos_] = in + damp_ * feedback_;
    pos_ = (pos_ + 1) % line_.size();
    return out;
  }

 private:
  std::vector<float> line_;
  float feedback_, damp_ = 0;
  size_t pos_ = 0;
};

class AllPass {
 public:
  explicit AllPass(size_t length) : line_(length, 0.0f) {}
  float Run(float in) {
    float delayed = line_[pos_];
    float out = delayed - in;
    line_[pos_] = in + delayed * 0.5f;
    pos_ = (pos_ + 1) % line_.size();
    return out;
  }

 private:
  std::vector<float> line_;
  size_t pos_ = 0;
};

void ReverbChannel(std::vector<float>& samples, float wet, float decay, size_t spread) {
  static const size_t combLengths[4] = {1557, 1617, 1491, 1422};
  static const size_t allPassLengths[2] = {556, 441};
  std::vector<Comb> combs;
  for (size_t n : combLengths) combs.emplace_back(n + spread, decay);
  std::vector<AllPass> allPasses;
  for (size_t n : allPassLengths) allPasses.emplace_back(n + spread);
  for (float& s : samples) {
    float in = s * 0.25f, sum = 0;
    for (Comb& c : combs) sum += c.Run(in);
    for (AllPass& a : allPasses) sum = a.Run(sum);
    s += sum * wet;
  }
}

}  // namespace

void AddReverb(StereoBuffer& buffer, float wet, float decay) {
  ReverbChannel(buffer.left, wet, decay, 0);
  ReverbChannel(buffer.right, wet, decay, 23);
}

static float SoftKnee(float v) {
  float a = std::fabs(v);
  if (a <= 0.7f) return v;
  float over = (a - 0.7f) / 0.3f;
  float shaped = 0.7f + 0.3f * std::tanh(over);
  return v < 0 ? -shaped : shaped;
}

void Normalize(std::vector<float>& samples, float peak) {
  float top = 0;
  for (float s : samples) top = std::max(top, std::fabs(s));
  if (top <= 0) return;
  // Loud peaks pass through the knee: scale for a knee output of 'peak'.
  float k = 1.0f / top;
  for (float& s : samples) s = SoftKnee(s * k) * peak / SoftKnee(1.0f);
}

void Normalize(StereoBuffer& buffer, float peak) {
  float top = 0;
  for (size_t i = 0; i < buffer.Frames(); ++i)
    top = std::max(top, std::max(std::fabs(buffer.left[i]), std::fabs(buffer.right[i])));
  if (top <= 0) return;
  float k = 1.0f / top;
  float outScale = peak / SoftKnee(1.0f);
  for (size_t i = 0; i < buffer.Frames(); ++i) {
    buffer.left[i] = SoftKnee(buffer.left[i] * k) * outScale;
    buffer.right[i] = SoftKnee(buffer.right[i] * k) * outScale;
  }
}

std::vector<float> Interleave(const StereoBuffer& buffer) {
  std::vector<float> out(buffer.Frames() * 2);
  for (size_t i = 0; i < buffer.Frames(); ++i) {
    out[i * 2] = buffer.left[i];
    out[i * 2 + 1] = buffer.right[i];
  }
  return out;
}
