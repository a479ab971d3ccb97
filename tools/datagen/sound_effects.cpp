// The sound effects: mono 44100 Hz, as the game plays its effects.
#include <cmath>
#include <vector>

#include "tools/datagen/content.h"
#include "tools/datagen/ogg_writer.h"
#include "tools/datagen/synth.h"

namespace {

const float TwoPi = 6.28318531f;

// A rifle shot: a sharp crack, a low thump, then the report echoing away.
std::vector<float> RifleShot() {
  Rng rng(41);
  std::vector<float> out((size_t)(0.8f * SampleRate));
  Filter crack, body, tail;
  float thump = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    float t = (float)i / SampleRate;
    float noise = rng.Signed();
    crack.Run(noise, 9000.0f, 0.1f);
    body.Run(noise, 700.0f + 6000.0f * std::exp(-t * 30.0f), 0.25f);
    tail.Run(noise, 900.0f, 0.1f);
    thump += (50.0f + 90.0f * std::exp(-t * 40.0f)) / SampleRate;
    float v = crack.high * std::exp(-t * 400.0f) * 1.5f;
    v += body.low * std::exp(-t * 22.0f) * 1.6f;
    v += std::sin(TwoPi * thump) * std::exp(-t * 18.0f) * 0.9f;
    v += tail.low * std::exp(-t * 5.0f) * 0.35f;
    out[i] = v;
  }
  // Two late reflections.
  std::vector<float> dry = out;
  size_t echoes[2] = {(size_t)(0.11f * SampleRate), (size_t)(0.23f * SampleRate)};
  float gains[2] = {0.35f, 0.18f};
  for (int e = 0; e < 2; ++e)
    for (size_t i = echoes[e]; i < out.size(); ++i) out[i] += dry[i - echoes[e]] * gains[e];
  // Fade the last 50 ms so the file ends in silence.
  size_t fade = (size_t)(0.05f * SampleRate);
  for (size_t i = 0; i < fade; ++i) out[out.size() - 1 - i] *= (float)i / fade;
  Normalize(out, 0.95f);
  return out;
}

// A typewriter key: a hard click, a metallic ping and the type bar's thunk.
std::vector<float> TypeKey() {
  Rng rng(43);
  std::vector<float> out((size_t)(0.14f * SampleRate));
  Filter click;
  Oscillator ping1, ping2, thunk;
  for (size_t i = 0; i < out.size(); ++i) {
    float t = (float)i / SampleRate;
    click.Run(rng.Signed(), 5000.0f, 0.3f);
    float v = click.high * std::exp(-t * 900.0f) * 1.2f;
    v += (ping1.Sine(2450.0f) + 0.6f * ping2.Sine(3710.0f)) * std::exp(-t * 70.0f) * 0.35f;
    float late = t - 0.012f;
    if (late > 0) v += thunk.Sine(170.0f) * std::exp(-late * 60.0f) * 0.6f;
    out[i] = v;
  }
  size_t fade = (size_t)(0.02f * SampleRate);
  for (size_t i = 0; i < fade; ++i) out[out.size() - 1 - i] *= (float)i / fade;
  Normalize(out, 0.8f);
  return out;
}

}  // namespace

void WriteSoundEffects(OutputFolder& out) {
  out.Write("sound effects\\rifle_sound.ogg", EncodeVorbis(RifleShot(), 1, SampleRate, 0.4f, 401));
  out.Write("sound effects\\type.ogg", EncodeVorbis(TypeKey(), 1, SampleRate, 0.4f, 402));
}
