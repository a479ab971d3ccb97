// Effects and streams through the manager with scripted decoders: the worked
// refill cases, fades, and what a failing decoder leaves in the ring.
#include "core/error.h"
#include "sound/ring_refill.h"
#include "sound/sound_effect.h"
#include "sound/stream_sound.h"
#include "sound/voice.h"
#include "tests/sound/sound_test_rounds.h"

namespace {

class SoundStreams : public SoundRoundsTest {
protected:
    // Rounds with the next half due, appending every half written, in order.
    static void PlayHalves(SoundRecord* r, int rounds, std::vector<uint8_t>& heard) {
        for (int i = 0; i < rounds; i++) {
            if (!r->firstFillPending) {
                HalfDue(r);
            }
            SoundManager::UpdateSounds(0.04f);
            std::vector<uint8_t>& d = r->buffer->data;
            heard.insert(heard.end(), d.begin() + r->lastWritePos, d.begin() + r->lastWritePos + SoundRingHalf);
        }
    }
};

TEST_F(SoundStreams, MonoEffectOf60000BytesPlaysOnceThenIsFreed) {
    CSoundEffect effect;
    ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
    EXPECT_EQ(effect.GetDescription().pcmBytes, 60000u);
    int32_t id = effect.PlayAt(Vector3{1, 2, 3});
    ASSERT_NE(id, 0);
    EXPECT_EQ(effect.GetLastSoundId(), id);
    SoundRecord* r = Record(id);
    SoundBufferObject* b = r->buffer;
    std::fill(b->data.begin(), b->data.end(), 0xEE);   // a slot keeps the last sound's bytes

    Round();   // first fill
    EXPECT_TRUE(b->playing);
    EXPECT_FALSE(b->looping);
    EXPECT_EQ(Bytes(b, 0, 50000), SourceBytes(0, 50000));
    EXPECT_EQ(r->bytesLeft, 10000);

    Cursors(b, 20000, 24000);
    Round();   // the tail and silence for the rest of the half
    EXPECT_EQ(Bytes(b, 50000, 10000), SourceBytes(50000, 10000));
    EXPECT_TRUE(Silent(b, 60000, 40000));
    EXPECT_EQ(r->bytesLeft, 0);

    Round();   // the first half is still playing: nothing to write
    EXPECT_EQ(Bytes(b, 0, 50000), SourceBytes(0, 50000));

    Cursors(b, 60000, 64000);
    Round();   // the closing half of silence
    EXPECT_TRUE(Silent(b, 0, 50000));
    EXPECT_EQ(r->bytesLeft, -1);
    EXPECT_NE(SoundManager::FindSound(id), -1);

    Cursors(b, 0, 0);
    Round();   // stopped and freed
    EXPECT_EQ(SoundManager::FindSound(id), -1);
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
}

TEST_F(SoundStreams, LoopingStreamWrapsWithoutAGap) {
    scriptForNewDecoders.channels = 2;
    scriptForNewDecoders.totalBytes = 120000;
    CStreamSound music;
    ASSERT_TRUE(music.Load("data\\music\\tune.ogg"));
    EXPECT_EQ(music.GetDescription().waveFormat.blockAlign, 4);
    int32_t id = music.Play(true);
    ASSERT_NE(id, 0);
    SoundRecord* r = Record(id);

    std::vector<uint8_t> heard;
    PlayHalves(r, 3, heard);   // 50000, 50000, then 20000 to the end and 30000 from the start
    EXPECT_EQ(r->bytesLeft, 90000);
    PlayHalves(r, 2, heard);
    EXPECT_TRUE(r->buffer->looping);
    std::vector<uint8_t> expected;
    for (uint64_t i = 0; i < 5 * SoundRingHalf; i++) {
        expected.push_back(SourceByte(i % 120000));
    }
    EXPECT_TRUE(heard == expected);
}

TEST_F(SoundStreams, StreamsShorterThanAHalfArePaddedOrLooped) {
    scriptForNewDecoders.totalBytes = 30000;
    CStreamSound once;
    ASSERT_TRUE(once.Load("data\\music\\short.ogg"));
    int32_t id = once.Play(false);
    SoundRecord* r = Record(id);
    SoundBufferObject* b = r->buffer;
    Round();
    EXPECT_EQ(Bytes(b, 0, 30000), SourceBytes(0, 30000));
    EXPECT_TRUE(Silent(b, 30000, 20000));
    EXPECT_FALSE(b->looping);
    Cursors(b, 10000, 14000);
    Round();
    EXPECT_EQ(r->bytesLeft, -1);
    Cursors(b, 60000, 64000);
    Round();
    EXPECT_EQ(SoundManager::FindSound(id), -1);
    once.Stop();   // its track is gone: the manager only reports it
    EXPECT_EQ(once.GetSoundId(), 0);

    // A loop shorter than a half still loops in the first fill.
    CStreamSound looping;
    ASSERT_TRUE(looping.Load("data\\music\\short.ogg"));
    r = Record(looping.Play(true));
    Round();
    std::vector<uint8_t> firstHalf = SourceBytes(0, 30000);
    std::vector<uint8_t> again = SourceBytes(0, 20000);
    firstHalf.insert(firstHalf.end(), again.begin(), again.end());
    EXPECT_EQ(Bytes(r->buffer, 0, 50000), firstHalf);
    EXPECT_EQ(r->bytesLeft, 10000);
}

TEST_F(SoundStreams, PlayingAgainFadesTheOldTrackOverTwoSeconds) {
    scriptForNewDecoders.channels = 2;
    scriptForNewDecoders.totalBytes = 400000;
    CStreamSound music;
    ASSERT_TRUE(music.Load("data\\music\\tune.ogg"));
    int32_t oldId = music.Play(true);
    Round();
    SoundBufferObject* oldBuffer = Record(oldId)->buffer;
    int32_t newId = music.Play(true);
    ASSERT_NE(newId, 0);
    EXPECT_NE(newId, oldId);
    EXPECT_EQ(music.GetSoundId(), newId);

    Round(1.0f);
    EXPECT_EQ(oldBuffer->volume, -1500);
    EXPECT_EQ(Record(newId)->buffer->volume, 0);
    EXPECT_NE(SoundManager::FindSound(oldId), -1);
    Round(1.0f);
    EXPECT_EQ(SoundManager::FindSound(oldId), -1) << "freed in the round its fade ends";
    EXPECT_EQ(Record(newId)->buffer->volume, 0);

    music.Stop();
    Round(2.5f);
    EXPECT_EQ(SoundManager::RecordCount(), 0);
}

// The test state's stop key: a stopped sound never plays again, so its own
// buffer or slot and its decoder go in the next round, not at shutdown.
TEST_F(SoundStreams, StoppedSoundsAreFreedInTheNextRound) {
    scriptForNewDecoders.totalBytes = 400000;
    CStreamSound music;
    CSoundEffect effect;
    ASSERT_TRUE(music.Load("data\\music\\tune.ogg"));
    ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
    int live = GetSoundStandIn().liveReferences;
    int32_t musicId = music.Play(true);
    int32_t effectId = effect.PlayAt(Vector3{});
    Round();
    SoundManager::StopSound(musicId);
    SoundManager::StopSound(musicId);   // twice before the round: freed once
    SoundManager::StopSound(effectId);
    EXPECT_FALSE(Record(musicId)->buffer->playing) << "silent at once";
    Round();
    EXPECT_EQ(SoundManager::RecordCount(), 0);
    EXPECT_EQ(scriptedLive.load(), 0) << "both decoders deleted";
    EXPECT_EQ(GetSoundStandIn().liveReferences, live) << "the stream's own buffer released";
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);

    // Freed by hand before its round: nothing is left to free twice.
    int32_t id = effect.PlayAt(Vector3{});
    SoundManager::StopSound(id);
    SoundManager::FreeSound(id);
    int reports = ErrorReportCount();
    Round();
    EXPECT_EQ(ErrorReportCount(), reports);
}

TEST_F(SoundStreams, DecoderFailuresLeaveZerosAndNeverHang) {
    struct Case {
        const char* name;
        long failure;
        int failures;
        bool recovers;
    } cases[] = {{"error", SoundDecodeError, -1, false},
                 {"a few holes", SoundDecodeHole, 3, true},
                 {"holes forever", SoundDecodeHole, -1, false},
                 {"bad link", -137, -1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptForNewDecoders.failAt = 20000;
        scriptForNewDecoders.failure = c.failure;
        scriptForNewDecoders.failures = c.failures;
        CSoundEffect effect;
        ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
        int32_t id = effect.PlayAt(Vector3{});
        SoundBufferObject* b = Record(id)->buffer;
        std::fill(b->data.begin(), b->data.end(), 0xEE);
        Round();
        EXPECT_EQ(b->locks, 0);
        EXPECT_EQ(Bytes(b, 0, 20000), SourceBytes(0, 20000));
        if (c.recovers) {
            EXPECT_EQ(Bytes(b, 20000, 30000), SourceBytes(20000, 30000));
        } else {
            EXPECT_TRUE(Silent(b, 20000, 30000));
        }
        EXPECT_EQ(Bytes(b, 50000, 50000), std::vector<uint8_t>(50000, 0xEE)) << "outside the locked half";
        EXPECT_TRUE(PlaysToItsEnd(id, 4)) << "the sound still ends on its count";
    }

    // A lock that fails writes nothing.
    scriptForNewDecoders = DecoderScript();
    CSoundEffect effect;
    ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
    SoundRecord* r = Record(effect.PlayAt(Vector3{}));
    std::fill(r->buffer->data.begin(), r->buffer->data.end(), 0xEE);
    GetSoundStandIn().failLock = true;
    Round();
    GetSoundStandIn().failLock = false;
    EXPECT_EQ(Bytes(r->buffer, 0, 100000), std::vector<uint8_t>(100000, 0xEE));
}

TEST_F(SoundStreams, SoundsThatCannotStartLeaveNothingBehind) {
    CSoundEffect effect;
    CStreamSound music;
    ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
    ASSERT_TRUE(music.Load("data\\music\\tune.ogg"));

    SoundManager::SetSoundEnabled(false);
    EXPECT_EQ(effect.PlayAt(Vector3{}), 0);
    EXPECT_EQ(music.Play(true), 0);
    EXPECT_EQ(music.GetSoundId(), 0);
    music.Stop();   // no track: nothing to fade
    SoundManager::SetSoundEnabled(true);

    for (int i = 0; i < SoundSlotCount; i++) {
        ASSERT_NE(effect.PlayAt(Vector3{}), 0);
    }
    EXPECT_EQ(effect.PlayAt(Vector3{}), 0);
    EXPECT_EQ(scriptedLive.load(), SoundSlotCount) << "the refused voice was deleted";

    int reports = ErrorReportCount();
    // The file went away after Load: reported, nothing started.
    CStreamSound vanished;
    ASSERT_TRUE(vanished.Load("data\\music\\tune.ogg"));
    scriptForNewDecoders.failOpen = true;
    EXPECT_EQ(vanished.Play(false), 0);
    EXPECT_EQ(ErrorReportCount(), reports + 1);
    EXPECT_EQ(SoundManager::RecordCount(), SoundSlotCount);
}

TEST(SoundRing, CursorsDecideWhenTheNextHalfIsWritten) {
    struct Case {
        uint32_t next, play, write;
        bool written;
    } cases[] = {
        {50000, 10000, 14000, true},    // playing the other half
        {50000, 0, 0, true},            // stopped at the start
        {0, 50000, 54000, true},        // just entered the half before
        {50000, 48000, 52000, false},   // the cursors straddle the half's start
        {0, 20000, 24000, false},       // still playing this half
        {0, 98000, 2000, false},        // the write cursor wrapped past it
        {50000, 98000, 2000, false},    // more than a half ahead
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.next << " " << c.play << " " << c.write);
        SoundRecord r;
        r.bytesLeft = 200000;
        r.nextWritePos = c.next;
        RingPlan plan = PlanRingRefill(r, c.play, c.write, RingFromDecoder);
        EXPECT_EQ(plan.count > 0, c.written);
        EXPECT_EQ(r.bytesLeft, c.written ? 150000 : 200000);
        if (c.written) {
            EXPECT_EQ(r.lastWritePos, c.next);
            EXPECT_EQ(r.nextWritePos, (c.next + SoundRingHalf) % SoundRingBytes);
        }
    }
}

}  // namespace

namespace {

// Hands out a single byte per read: never a whole sample.
class HalfSampleVoice : public CSoundVoiceBase {
public:
    HalfSampleVoice() : CSoundVoiceBase(SoundVoiceSynth) {}
    int Read(int16_t*, int) override { return 1; }
};

TEST(SoundRing, VoiceThatYieldsNoWholeSampleEndsThePartInSilence) {
    SoundBufferObject ring;
    ring.data.assign(SoundRingBytes, 0xEE);
    HalfSampleVoice voice;
    EXPECT_FALSE(WriteVoiceSamples(SoundRingHalf, &voice, &ring, 70000));   // wraps into two parts
    EXPECT_EQ(ring.locks, 0);
    EXPECT_TRUE(std::all_of(ring.data.begin() + 70000, ring.data.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(ring.data.begin(), ring.data.begin() + 20000, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(ring.data[20000], 0xEE);
}

}  // namespace
