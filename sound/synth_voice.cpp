#include "sound/synth_voice.h"

#include <cmath>

#include "core/random.h"
#include "sound/ring_refill.h"
#include "sound/sound_manager.h"

namespace {

enum { Amplitude = 0, Modulation = 1, FrequencyFactor = 2 };

float Drawn(float range) {
    return (float)GameRand() / (float)GameRandMax * range;
}

int StepPeriod(float total) {
    float samples = total * 44100.0f / (float)SynthEnvelopePoints;
    return samples >= 1.0f && samples < 1e9f ? (int)samples : 1;
}

}  // namespace

void BuildEnvelope(std::vector<float>& envelope, float start, float attackTime, float peak, float totalTime,
                   float end) {
    const int n = SynthEnvelopePoints;
    envelope.assign(n, end);
    float ratio = totalTime > 0.0f && attackTime > 0.0f ? attackTime / totalTime : 0.0f;
    if (!(ratio < 1.0f)) {
        ratio = 1.0f;   // includes NaN
    }
    int attack = (int)(ratio * n);
    if (attack > n - 1) {
        attack = n - 1;
    }
    for (int i = 0; i < attack; i++) {
        envelope[i] = start + (peak - start) * (float)i / (float)attack;
    }
    int fall = n - 1 - attack;
    for (int i = attack; i < n - 1; i++) {
        envelope[i] = peak + (end - peak) * (float)(i - attack) / (float)fall;
    }
    envelope[n - 1] = end;
}

CSynthVoice::CSynthVoice(float firstValue, float secondValue, float duration)
    : CSoundVoiceBase(SoundVoiceSynth),
      baseFrequency(firstValue),
      modulatorFrequency(secondValue),
      time(0.0f),
      noise(0.0f),
      noiseAmplitude(0.0f),
      noiseState(0) {
    playing = true;
    float x = duration;
    SetEnvelope(Amplitude, 10.0f + Drawn(2.0f), 0.19f * x, 4.2f, 0.92f * x, 0.0f);
    SetEnvelope(FrequencyFactor, 1.0f, 10.0f, 1.0f, 20.0f, 1.0f);
    envelopes[FrequencyFactor].period = 430;
    float modulationStart = 1.35f + Drawn(0.3f);
    float modulationAttack = (Drawn(1.0f) + x) * 0.1f;
    SetEnvelope(Modulation, modulationStart, modulationAttack, 1.0f, 0.7f * x + Drawn(0.05f), 0.85f);
    noiseAmplitude = 0.8f + Drawn(0.2f);
}

void CSynthVoice::SetEnvelope(int which, float start, float attack, float peak, float total, float end) {
    Envelope& e = envelopes[which];
    BuildEnvelope(e.points, start, attack, peak, total, end);
    e.index = 0;
    e.counter = 0;
    e.value = e.points[0];
    e.period = StepPeriod(total);
}

bool CSynthVoice::HasEnded() const {
    const Envelope& a = envelopes[Amplitude];
    return a.index == SynthEnvelopePoints - 1 && a.value == 0.0f;
}

bool CSynthVoice::ReleaseWhenFinished() {
    return true;
}

void CSynthVoice::Update(SoundRecord* record, float) {
    RefillSynthStream(record, this);
}

void CSynthVoice::Step(Envelope& e) {
    if (++e.counter >= e.period) {
        e.counter = 0;
        if (e.index < SynthEnvelopePoints - 1) {
            e.value = e.points[++e.index];
        }
    }
}

// The voice's own generator, so the noise does not disturb the game's draws.
float CSynthVoice::NextNoise() {
    uint32_t x = noiseState;
    uint32_t rotated = (x << 3) | (x >> 29);
    x = ((rotated << 16) | (((x >> 13) ^ x) & 0xFFFFu)) + 1u;
    noiseState = x;
    return (float)x / 2147483648.0f;   // 0..2
}

int CSynthVoice::Read(int16_t* samples, int count) {
    if (HasEnded()) {
        return 0;
    }
    const float twoPi = 6.28f;
    for (int i = 0; i < count; i++) {
        float tone = 0.0f;
        if (time > 0.0f) {
            tone = envelopes[Amplitude].value *
                   std::sin(envelopes[Modulation].value * std::sin(twoPi * modulatorFrequency * time) +
                            twoPi * baseFrequency * envelopes[FrequencyFactor].value * time);
        }
        noise += (NextNoise() - 1.0f) * 0.15f;
        noise = noise < -1.0f ? -1.0f : noise > 1.0f ? 1.0f : noise;
        noiseAmplitude = noiseAmplitude > 0.00008f ? noiseAmplitude - 0.00008f : 0.0f;
        float s = (noise * noiseAmplitude + tone) * 32766.0f;
        s = s < -32766.0f ? -32766.0f : s > 32766.0f ? 32766.0f : s;
        samples[i] = std::isfinite(s) ? (int16_t)s : 0;
        for (Envelope& e : envelopes) {
            Step(e);
        }
        time += SampleStep;
    }
    return count * 2;
}

int32_t PlaySynthSound(SynthSoundDescription& description, const Vector3& position) {
    CSynthVoice* voice = new CSynthVoice(description.firstValue, description.secondValue, description.duration);
    description.id = SoundManager::StartEndlessSound3D(position, voice);
    if (description.id == 0) {
        delete voice;
    }
    return description.id;
}
