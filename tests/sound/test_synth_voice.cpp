// The synthesised voice: envelopes, samples, and its endless slot sound.
#include <cmath>

#include "core/random.h"
#include "sound/synth_voice.h"
#include "tests/sound/sound_test_rounds.h"

namespace {

TEST(SynthEnvelope, RisesFallsAndStaysInsideItsPoints) {
    std::vector<float> e;
    BuildEnvelope(e, 0.0f, 1.0f, 4.0f, 4.0f, 2.0f);
    ASSERT_EQ(e.size(), (size_t)SynthEnvelopePoints);
    EXPECT_FLOAT_EQ(e[0], 0.0f);
    EXPECT_FLOAT_EQ(e[256], 2.0f);     // half way up the attack
    EXPECT_FLOAT_EQ(e[512], 4.0f);     // the peak
    EXPECT_FLOAT_EQ(e.back(), 2.0f);

    // Attack at or past the total (the modulation envelope of a short sound),
    // zero, negative or not a number: clamped, never written past the end.
    const float attacks[] = {0.2f, 5.0f, 0.0f, -1.0f, NAN};
    for (float attack : attacks) {
        BuildEnvelope(e, 1.0f, attack, 3.0f, 0.1f, 0.5f);
        ASSERT_EQ(e.size(), (size_t)SynthEnvelopePoints);
        EXPECT_FLOAT_EQ(e.back(), 0.5f);
        for (float v : e) {
            ASSERT_TRUE(v >= 0.5f && v <= 3.0f) << v;
        }
    }
}

TEST(SynthVoiceSamples, BoundedAudibleAndEndsAfterItsEnvelope) {
    GameSrand(7);
    CSynthVoice voice(440.0f, 3.0f, 0.1f);
    std::vector<int16_t> samples(44100);
    ASSERT_EQ(voice.Read(samples.data(), (int)samples.size()), 44100 * 2);
    int peak = 0;
    for (int16_t s : samples) {
        ASSERT_LE(std::abs((int)s), 32766);
        peak = std::max(peak, std::abs((int)s));
    }
    EXPECT_GT(peak, 10000);
    EXPECT_TRUE(voice.HasEnded()) << "0.092 s of envelope inside the first second";
    EXPECT_EQ(voice.Read(samples.data(), 100), 0);
}

class SynthSound : public SoundRoundsTest {};

TEST_F(SynthSound, EndlessSlotSoundEndsWhenItsVoiceFallsSilent) {
    SynthSoundDescription d;
    d.firstValue = 220.0f;
    d.secondValue = 5.0f;
    d.duration = 0.2f;
    ASSERT_NE(PlaySynthSound(d, Vector3{1, 1, 1}), 0);
    SoundRecord* r = Record(d.id);
    EXPECT_TRUE(r->streamed);
    EXPECT_EQ(r->totalBytes, 9999999u);
    EXPECT_FLOAT_EQ(r->buffer->params3D.velocity.x, 0.0f);
    Round();
    EXPECT_TRUE(r->buffer->looping);
    EXPECT_FALSE(Silent(r->buffer, 0, 10000));
    // Falls silent in the next round, then a half of silence and the stop.
    EXPECT_TRUE(PlaysToItsEnd(d.id, 4));

    SoundManager::SetSoundEnabled(false);
    SynthSoundDescription refused = d;
    EXPECT_EQ(PlaySynthSound(refused, Vector3{}), 0);
}

}  // namespace
