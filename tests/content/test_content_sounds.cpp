// The shipped effects and music through the game's own sound loaders: effects
// are 44100 Hz mono and short enough for one ring, music is long enough to
// loop, and the battle music streams its first halves from the file.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/lock.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_effect.h"
#include "sound/sound_manager.h"
#include "sound/stream_sound.h"

namespace {

class ContentSounds : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSoundStandIn();
        SoundManager::SetSoundEnabled(true);
        ASSERT_TRUE(SoundManager::Init(nullptr));
    }
    void TearDown() override { SoundManager::Shutdown(); }
};

TEST_F(ContentSounds, EffectsAndMusicLoadAndStream) {
    for (const char* path : {"data\\sound effects\\rifle_sound.ogg", "data\\sound effects\\type.ogg"}) {
        SCOPED_TRACE(path);
        CSoundEffect effect;
        ASSERT_TRUE(effect.Load(path));
        const SoundDescription& d = effect.GetDescription();
        EXPECT_EQ(d.waveFormat.samplesPerSec, 44100u) << "slots play at 44100 Hz";
        EXPECT_GT(d.pcmBytes, 0u);
        EXPECT_LE(d.pcmBytes, SoundRingBytes);
    }
    for (const char* path : {"data\\music\\fieldbattle.ogg", "data\\music\\title0.ogg",
                             "data\\music\\automatic01.ogg"}) {
        SCOPED_TRACE(path);
        CStreamSound music;
        ASSERT_TRUE(music.Load(path));
        EXPECT_EQ(music.GetDescription().waveFormat.samplesPerSec, 44100u);
        EXPECT_GE(music.GetDescription().pcmBytes, 2 * SoundRingHalf) << "a loop needs more than a half";
    }

    CStreamSound battle;
    ASSERT_TRUE(battle.Load("data\\music\\fieldbattle.ogg"));
    CAutoLock hold(SoundManager::GetLock());
    int32_t id = battle.Play(true);
    ASSERT_NE(id, 0);
    SoundRecord* r = SoundManager::GetRecord(SoundManager::FindSound(id));
    SoundManager::UpdateSounds(0.04f);
    r->buffer->playCursor = 10000;
    r->buffer->writeCursor = 14000;
    SoundManager::UpdateSounds(0.04f);
    const std::vector<uint8_t>& ring = r->buffer->data;
    for (uint32_t half : {0u, SoundRingHalf}) {
        EXPECT_TRUE(std::any_of(ring.begin() + half, ring.begin() + half + SoundRingHalf,
                                [](uint8_t b) { return b != 0; }));
    }
    EXPECT_TRUE(r->buffer->looping);
}

}  // namespace
