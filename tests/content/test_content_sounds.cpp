// The shipped effects and music through the game's own sound loaders and the
// decoder they use: effects are 44100 Hz mono, short enough for one ring and
// audible; music is 44100 Hz stereo, long enough to loop through several
// turns of the ring, and sounds like music; every file decodes to its end,
// and the battle music streams its first halves from the file.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/lock.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_effect.h"
#include "sound/sound_manager.h"
#include "sound/stream_sound.h"

namespace {

struct Decoded {
    int channels = 0;
    long long pcmBytes = 0;       // the length the sound code sizes its buffers by
    long long decodedBytes = 0;   // what decoding to the end gave
    int peak = 0;                 // of the first channel's opening frames
    double crossingRate = 0;      // sign changes per sample there: near 0.5 for noise, far lower for tones
};

// Opens the file as the sound code does (fopen "rb", ov_open), decodes it to
// the end and measures the first channel over its first maxFrames frames.
// False when it does not open or a read fails before the end.
bool Decode(const std::string& path, size_t maxFrames, Decoded& out) {
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    OggVorbis_File vf;
    if (ov_open(f, &vf, nullptr, 0) != 0) {
        fclose(f);
        return false;
    }
    out.channels = ov_info(&vf, -1)->channels;
    out.pcmBytes = (long long)ov_pcm_total(&vf, -1) * out.channels * 2;
    std::vector<short> pcm(4096), opening;
    int section = 0;
    long got;
    while ((got = ov_read(&vf, (char*)pcm.data(), (int)(pcm.size() * 2), 0, 2, 1, &section)) > 0) {
        out.decodedBytes += got;
        for (long i = 0; i < got / 2 && opening.size() < maxFrames; i += out.channels)
            opening.push_back(pcm[i]);
    }
    ov_clear(&vf);
    long crossings = 0;
    for (size_t i = 0; i < opening.size(); i++) {
        out.peak = std::max(out.peak, std::abs((int)opening[i]));
        crossings += i > 0 && (opening[i - 1] < 0) != (opening[i] < 0);
    }
    out.crossingRate = opening.size() > 1 ? (double)crossings / (double)(opening.size() - 1) : 0.0;
    return got == 0;
}

class ContentSounds : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSoundStandIn();
        SoundManager::SetSoundEnabled(true);
        ASSERT_TRUE(SoundManager::Init(nullptr));
    }
    void TearDown() override { SoundManager::Shutdown(); }
};

TEST_F(ContentSounds, EffectsAndMusicLoadDecodeAndSoundRight) {
    const struct {
        const char* path;
        bool music;
    } sounds[] = {{"data\\sound effects\\rifle_sound.ogg", false}, {"data\\sound effects\\type.ogg", false},
                  {"data\\music\\fieldbattle.ogg", true},          {"data\\music\\title0.ogg", true},
                  {"data\\music\\automatic01.ogg", true}};
    for (const auto& s : sounds) {
        SCOPED_TRACE(s.path);
        SoundDescription d;
        if (s.music) {
            CStreamSound music;
            ASSERT_TRUE(music.Load(s.path));
            d = music.GetDescription();
        } else {
            CSoundEffect effect;
            ASSERT_TRUE(effect.Load(s.path));
            d = effect.GetDescription();
        }
        EXPECT_EQ(d.waveFormat.samplesPerSec, 44100u) << "slots play at 44100 Hz";
        Decoded file;
        ASSERT_TRUE(Decode(s.path, 44100 * 8, file));
        EXPECT_EQ(file.decodedBytes, file.pcmBytes);
        EXPECT_GT(file.peak, 3000);
        if (s.music) {
            EXPECT_EQ(file.channels, 2);
            EXPECT_EQ(d.waveFormat.channels, 2);
            EXPECT_GT(d.pcmBytes, 10 * SoundRingBytes) << "a loop needs several turns of the ring";
            EXPECT_LT(file.crossingRate, 0.15);
        } else {
            // Played as one channel whatever the file holds; the file is one.
            EXPECT_EQ(file.channels, 1);
            EXPECT_GT(d.pcmBytes, 0u);
            EXPECT_LE(d.pcmBytes, SoundRingBytes);
        }
    }
}

TEST_F(ContentSounds, BattleMusicStreamsBothHalvesOfItsRing) {
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
