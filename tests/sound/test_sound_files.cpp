// Effects and music from real Ogg files through libvorbisfile, and files that
// are missing, damaged or gone.
#include <cmath>
#include <cstdio>
#include <fstream>

#include "core/error.h"
#include "core/files.h"
#include "sound/sound_effect.h"
#include "sound/stream_sound.h"
#include "tests/sound/sound_test_rounds.h"
#include "tools/datagen/ogg_writer.h"

namespace {

class SoundFiles : public SoundRoundsTest {
protected:
    void SetUp() override {
        SoundRoundsTest::SetUp();
        SetSoundDecoderMaker(nullptr);
    }
    static void WriteFile(const char* path, const std::string& bytes) {
        std::ofstream(NativePath(path), std::ios::binary) << bytes;
    }
};

const char* const RifleFile = "data\\sound effects\\rifle_sound.ogg";

TEST_F(SoundFiles, ShippedEffectPlaysTheDecodedSamples) {
    CSoundEffect rifle;
    ASSERT_TRUE(rifle.Load(RifleFile));
    const SoundDescription& d = rifle.GetDescription();
    EXPECT_EQ(d.waveFormat.channels, 1);
    EXPECT_EQ(d.waveFormat.samplesPerSec, 44100u);
    EXPECT_EQ(d.waveFormat.avgBytesPerSec, 88200u);
    EXPECT_LE(d.pcmBytes, SoundRingBytes) << "a short shot, not streamed";

    SoundRecord* r = Record(rifle.PlayAt(Vector3{10, 0, 0}));
    ASSERT_NE(r, nullptr);
    Round();
    uint32_t first = std::min(d.pcmBytes, SoundRingHalf);
    COggDecoder decoder;
    ASSERT_TRUE(decoder.Open(RifleFile));
    std::vector<uint8_t> decoded(first);
    uint32_t done = 0;
    while (done < first) {
        long n = decoder.Read((char*)decoded.data() + done, (int)(first - done));
        ASSERT_GT(n, 0);
        done += (uint32_t)n;
    }
    EXPECT_TRUE(Bytes(r->buffer, 0, first) == decoded);
    EXPECT_FALSE(Silent(r->buffer, 0, first));

    CStreamSound music;
    ASSERT_TRUE(music.Load("data\\music\\fieldbattle.ogg"));
    EXPECT_EQ(music.GetDescription().waveFormat.channels, 2);
    EXPECT_GT(music.GetDescription().pcmBytes, 10 * SoundRingBytes);
}

TEST_F(SoundFiles, MissingDamagedOrVanishedFilesGiveAReportAndSilence) {
    std::string good = ReadWholeFile(true, RifleFile);
    ASSERT_GT(good.size(), 400u);
    WriteFile("garbage.ogg", std::string(5000, 'x'));
    WriteFile("cut.ogg", good.substr(0, 300));
    WriteFile("empty.ogg", "");
    for (const char* path : {"data\\sound effects\\no_such.ogg", "garbage.ogg", "cut.ogg", "empty.ogg"}) {
        SCOPED_TRACE(path);
        int reports = ErrorReportCount();
        CSoundEffect effect;
        CStreamSound music;
        EXPECT_FALSE(effect.Load(path));
        EXPECT_FALSE(music.Load(path));
        EXPECT_EQ(ErrorReportCount(), reports + 2);
        EXPECT_EQ(effect.PlayAt(Vector3{}), 0);
        EXPECT_EQ(music.Play(true), 0);
    }

    // Loaded, then the file went away or was damaged before the shot.
    WriteFile("gone.ogg", good);
    WriteFile("spoilt.ogg", good);
    CSoundEffect gone, spoilt;
    ASSERT_TRUE(gone.Load("gone.ogg"));
    ASSERT_TRUE(spoilt.Load("spoilt.ogg"));
    std::remove("gone.ogg");
    EXPECT_EQ(gone.PlayAt(Vector3{}), 0);
    std::string damaged = good;
    for (size_t i = good.size() / 3; i < good.size(); i += 7) {
        damaged[i] = (char)(damaged[i] ^ 0x5A);
    }
    WriteFile("spoilt.ogg", damaged);
    EXPECT_TRUE(PlaysToItsEnd(spoilt.PlayAt(Vector3{}), 6)) << "a damaged stream still ends";
}

// One Ogg Vorbis stream: a 440 Hz tone in every channel.
std::string Tone(int frames, int channels, int rate, uint32_t serial) {
    std::vector<float> samples;
    for (int i = 0; i < frames * channels; i++) {
        samples.push_back(0.5f * (float)std::sin(6.2831853 * 440.0 * (i / channels) / rate));
    }
    std::vector<unsigned char> bytes = EncodeVorbis(samples, channels, rate, 0.4f, serial);
    return std::string(bytes.begin(), bytes.end());
}

size_t BytesToTheEnd(CSoundDecoder& decoder) {
    char chunk[4096];
    size_t total = 0;
    for (long n; (n = decoder.Read(chunk, sizeof(chunk))) > 0;) {
        total += (size_t)n;
    }
    return total;
}

// Files joined end to end: the buffer has the first stream's format, so the
// sound ends where a stream of another rate or channel count begins. The
// first stream fits one page, which libvorbisfile alone would skip.
TEST_F(SoundFiles, ChainedStreamsPlayUpToOneOfAnotherFormat) {
    WriteFile("chain.ogg", Tone(11025, 1, 22050, 1) + Tone(5000, 1, 22050, 2) + Tone(24000, 2, 48000, 3));
    const uint32_t played = (11025 + 5000) * 2;
    int reports = ErrorReportCount();
    CStreamSound music;
    CSoundEffect effect;
    ASSERT_TRUE(music.Load("chain.ogg"));
    ASSERT_TRUE(effect.Load("chain.ogg"));
    for (const SoundDescription* d : {&music.GetDescription(), &effect.GetDescription()}) {
        EXPECT_EQ(d->waveFormat.samplesPerSec, 22050u);
        EXPECT_EQ(d->waveFormat.channels, 1);
        EXPECT_EQ(d->pcmBytes, played);
    }
    EXPECT_EQ(ErrorReportCount(), reports + 2);
    EXPECT_NE(LastErrorReport().find("chain.ogg: chained stream 3 of 3 differs"), std::string::npos);

    COggDecoder decoder;
    ASSERT_TRUE(decoder.Open("chain.ogg"));
    EXPECT_EQ(BytesToTheEnd(decoder), played);
    EXPECT_EQ(BytesToTheEnd(decoder), 0u) << "stays at the end";
    ASSERT_TRUE(decoder.Seek(0));
    EXPECT_EQ(BytesToTheEnd(decoder), played) << "a loop starts over";
}

TEST(SoundDecoder, ClosedDecoderReadsNothingAndClosesTwice) {
    COggDecoder decoder;
    char buffer[64];
    SoundStreamInfo info;
    EXPECT_LT(decoder.Read(buffer, sizeof(buffer)), 0);
    EXPECT_FALSE(decoder.Seek(0));
    EXPECT_FALSE(decoder.GetInfo(&info));
    EXPECT_FALSE(decoder.Open("data\\sound effects\\no_such.ogg"));
    decoder.Close();
    decoder.Close();
}

}  // namespace
