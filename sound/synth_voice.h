// A synthesised 3D sound: a frequency-modulated tone under an amplitude
// envelope with a little decaying noise, played endlessly on a 3D slot until
// it falls silent. The game itself plays none; the library offers it.
#ifndef SOUND_SYNTH_VOICE_H
#define SOUND_SYNTH_VOICE_H

#include <cstdint>
#include <vector>

#include "core/vector.h"
#include "sound/voice.h"

const int SynthEnvelopePoints = 2048;
const float SampleStep = 1.0f / 44100.0f;

// Fills 2048 points: linear from start to peak over the first
// attack / total of them, then linear to the end; the last point is the end.
// An attack outside (0, total) is clamped into it, so the fill never runs
// past the vector.
void BuildEnvelope(std::vector<float>& envelope, float start, float attackTime, float peak, float totalTime,
                   float end);

class CSynthVoice : public CSoundVoiceBase {
public:
    // Base frequency, modulator frequency, duration in seconds.
    CSynthVoice(float firstValue, float secondValue, float duration);

    bool ReleaseWhenFinished() override;   // always
    void Update(SoundRecord* record, float seconds) override;
    int Read(int16_t* samples, int count) override;

    // Which: 0 amplitude, 1 modulation depth, 2 frequency factor.
    void SetEnvelope(int which, float start, float attack, float peak, float total, float end);
    // The amplitude stands on its last point at 0.
    bool HasEnded() const;

private:
    struct Envelope {
        std::vector<float> points;
        float value = 0.0f;
        int index = 0;
        int period = 1;     // samples per point
        int counter = 0;
    };
    void Step(Envelope& e);
    float NextNoise();

    Envelope envelopes[3];
    float baseFrequency;
    float modulatorFrequency;
    float time;
    float noise;
    float noiseAmplitude;
    uint32_t noiseState;
};

// What PlaySynthSound plays, and the id it got (0 when nothing started).
struct SynthSoundDescription {
    float firstValue = 0.0f;
    float secondValue = 0.0f;
    float duration = 0.0f;
    int32_t id = 0;
};

// Starts a new CSynthVoice at the position on an endless 3D slot.
int32_t PlaySynthSound(SynthSoundDescription& description, const Vector3& position);

#endif
