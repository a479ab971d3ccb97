// The sound manager's bookkeeping over the native stand-in device.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/error.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_manager.h"
#include "sound/voice.h"

namespace {

std::atomic<int> voicesDeleted(0);
std::atomic<int> voicesClosed(0);

// Counts its rounds; stops playing after finishAfter rounds (never when 0).
// Effects release themselves when finished, music only once the manager
// decides so (not looping) or it fades out.
class FakeVoice : public CSoundVoiceBase {
public:
    explicit FakeVoice(int kind, int finishAfter = 0) : CSoundVoiceBase(kind), finishAfter(finishAfter) {
        playing = true;
        releaseWhenFinished = kind != SoundVoiceMusic;
    }
    ~FakeVoice() override { voicesDeleted++; }
    void Update(SoundRecord*, float) override {
        if (++updates == finishAfter) {
            playing = false;
        }
    }
    void Close() override { voicesClosed++; }
    bool FadeOut() override {
        fadeRequests++;
        return true;
    }

    std::atomic<int> updates{0};
    std::atomic<int> fadeRequests{0};
    int finishAfter;
};

SoundDescription EffectDescription(uint32_t bytes = 60000) {
    SoundDescription d;
    d.waveFormat.formatTag = SoundFormatPcm;
    d.waveFormat.channels = 1;
    d.waveFormat.samplesPerSec = 44100;
    d.waveFormat.avgBytesPerSec = 88200;
    d.waveFormat.blockAlign = 2;
    d.waveFormat.bitsPerSample = 16;
    d.pcmBytes = bytes;
    d.loaded = true;
    return d;
}

SoundDescription MusicDescription(uint32_t bytes = 400000) {
    SoundDescription d = EffectDescription(bytes);
    d.waveFormat.channels = 2;
    d.waveFormat.blockAlign = 4;
    d.waveFormat.avgBytesPerSec = 176400;
    d.bufferDesc.flags = 0x180A0;
    d.bufferDesc.bufferBytes = SoundRingBytes;
    d.bufferDesc.format = d.waveFormat;
    return d;
}

template <typename F>
bool WaitFor(F condition) {
    for (int i = 0; i < 200; i++) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSoundStandIn();
        SoundManager::SetSoundEnabled(true);
        voicesDeleted = 0;
        voicesClosed = 0;
    }
    void TearDown() override {
        SoundManager::Shutdown();
        SoundManager::SetSoundEnabled(true);
        EXPECT_EQ(GetSoundStandIn().liveReferences, 0) << "an interface was not released";
    }
    static int RecordIndex(int32_t id) { return SoundManager::FindSound(id); }
    // An effect on a slot, music on a buffer of its own; the manager takes the voice.
    static int32_t Effect(FakeVoice* v) { return SoundManager::StartSound3D(Vector3{}, v, EffectDescription()); }
    static int32_t Effect() { return Effect(new FakeVoice(SoundVoiceEffect)); }
    static int32_t Music(FakeVoice* v, bool loop = true) {
        return SoundManager::StartSound(v, MusicDescription(), loop, 0, 0);
    }
    static int32_t Music() { return Music(new FakeVoice(SoundVoiceMusic)); }
};

// The manager started on a working device.
class StartedSoundManager : public SoundManagerTest {
protected:
    void SetUp() override {
        SoundManagerTest::SetUp();
        ASSERT_TRUE(SoundManager::Init(nullptr));
    }
};

TEST_F(StartedSoundManager, InitMakesDeviceListenerAndSixtySlots) {
    EXPECT_TRUE(SoundManager::IsAvailable());
    EXPECT_TRUE(SoundManager::ListenerEnabled());
    EXPECT_EQ(GetSoundStandIn().buffersMade, SoundSlotCount);
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
    ASSERT_NE(GetSoundStandIn().listener, nullptr);
    EXPECT_FLOAT_EQ(GetSoundStandIn().listener->params.rolloffFactor, 0.01f);

    const SoundBufferDesc& d = SoundManager::GetDefaultBufferDesc();
    EXPECT_EQ(d.flags, 0x180B0u);
    EXPECT_EQ(d.format.channels, 1);
    EXPECT_EQ(d.format.samplesPerSec, 44100u);
    // A minimum distance of 0 would make every 3D sound silent.
    EXPECT_FLOAT_EQ(SoundManager::GetDefault3DParams().minDistance, 1.0f);
    EXPECT_FLOAT_EQ(SoundManager::GetDefault3DParams().maxDistance, 1e9f);
}

TEST_F(StartedSoundManager, IdsGrowFromOneAndAreNeverReused) {
    int32_t first = SoundManager::PeekNextSoundId();
    EXPECT_GE(first, 1);
    FakeVoice* a = new FakeVoice(SoundVoiceEffect);
    int32_t idA = Effect(a);
    EXPECT_EQ(idA, first);
    EXPECT_EQ(Effect(), first + 1);
    EXPECT_EQ(a->id, idA);   // set by the manager under its lock

    SoundManager::FreeSound(idA);
    EXPECT_EQ(RecordIndex(idA), -1);
    EXPECT_EQ(voicesClosed.load(), 1);
    EXPECT_EQ(voicesDeleted.load(), 1);
    EXPECT_EQ(Effect(), first + 2);
    EXPECT_EQ(SoundManager::SlotsInUse(), 2);
}

TEST_F(StartedSoundManager, ThreeDSoundIsPlacedOnASlotWithItsVelocity) {
    int32_t id = SoundManager::StartSound3D(Vector3{5, 6, 7}, new FakeVoice(SoundVoiceEffect),
                                            EffectDescription(150000));
    SoundRecord* r = SoundManager::GetRecord(RecordIndex(id));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->slotIndex, 0);
    EXPECT_TRUE(r->active);
    EXPECT_TRUE(r->firstFillPending);
    EXPECT_TRUE(r->streamed);
    EXPECT_EQ(r->bytesLeft, 150000);
    ASSERT_NE(r->buffer3D, nullptr);
    const Sound3DParams& p = r->buffer->params3D;
    EXPECT_FLOAT_EQ(p.position.x, 5.0f);
    EXPECT_FLOAT_EQ(p.position.z, 7.0f);
    EXPECT_FLOAT_EQ(p.velocity.x, 10.0f);
    EXPECT_FLOAT_EQ(p.minDistance, 1.0f);
}

TEST_F(StartedSoundManager, SixtyFirstThreeDSoundGetsNothingAndConsumesNoId) {
    for (int i = 0; i < SoundSlotCount; i++) ASSERT_NE(Effect(), 0);
    int32_t next = SoundManager::PeekNextSoundId();
    FakeVoice extra(SoundVoiceEffect);
    EXPECT_EQ(Effect(&extra), 0);
    EXPECT_EQ(extra.id, 0);
    EXPECT_EQ(SoundManager::PeekNextSoundId(), next);
    EXPECT_EQ(SoundManager::RecordCount(), SoundSlotCount);

    SoundManager::FreeSound(next - 1);
    EXPECT_EQ(SoundManager::SlotsInUse(), SoundSlotCount - 1);
    EXPECT_EQ(Effect(), next);
}

TEST_F(StartedSoundManager, StreamGetsABufferOfItsOwnAndLoopDecidesRelease) {
    int live = GetSoundStandIn().liveReferences;
    FakeVoice* once = new FakeVoice(SoundVoiceMusic);
    FakeVoice* looping = new FakeVoice(SoundVoiceMusic);
    int32_t idOnce = SoundManager::StartSound(once, MusicDescription(), false, 0, -500);
    int32_t idLoop = Music(looping);
    ASSERT_NE(idOnce, 0);
    ASSERT_NE(idLoop, 0);
    // One interface each: the first one is released once the second is had.
    EXPECT_EQ(GetSoundStandIn().liveReferences, live + 2);
    EXPECT_TRUE(once->releaseWhenFinished);
    EXPECT_FALSE(looping->releaseWhenFinished);
    SoundRecord* r = SoundManager::GetRecord(RecordIndex(idOnce));
    EXPECT_EQ(r->slotIndex, -1);
    EXPECT_EQ(r->buffer->volume, -500);
    EXPECT_EQ(r->totalBytes, 400000u);
    EXPECT_TRUE(r->streamed);
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
}

TEST_F(StartedSoundManager, FailedOwnBufferRollsBackRecordAndId) {
    int32_t next = SoundManager::PeekNextSoundId();
    int live = GetSoundStandIn().liveReferences;

    GetSoundStandIn().failQueryBuffer8 = true;
    FakeVoice v(SoundVoiceMusic);
    EXPECT_EQ(Music(&v), 0);
    GetSoundStandIn().failQueryBuffer8 = false;

    GetSoundStandIn().failBufferAfter = GetSoundStandIn().buffersMade;
    EXPECT_EQ(Music(&v), 0);
    GetSoundStandIn().failBufferAfter = -1;

    EXPECT_EQ(SoundManager::RecordCount(), 0);
    EXPECT_EQ(SoundManager::PeekNextSoundId(), next);
    EXPECT_EQ(GetSoundStandIn().liveReferences, live);
    EXPECT_EQ(Music(), next);
}

TEST_F(StartedSoundManager, FinishedSoundIsStoppedAndFreedInTheSameRound) {
    FakeVoice* music = new FakeVoice(SoundVoiceMusic, 3);   // loops: never released by itself
    int32_t idEffect = Effect(new FakeVoice(SoundVoiceEffect, 3));
    int32_t idMusic = Music(music);
    ASSERT_TRUE(WaitFor([&] { return RecordIndex(idEffect) < 0; }));
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
    EXPECT_EQ(voicesDeleted.load(), 1);
    EXPECT_EQ(voicesClosed.load(), 1);
    ASSERT_TRUE(WaitFor([&] { return music->updates >= 5; }));
    EXPECT_GE(RecordIndex(idMusic), 0);
}

TEST_F(StartedSoundManager, SoundFlagOffStartsNothingAndFreezesPlayingSounds) {
    FakeVoice* v = new FakeVoice(SoundVoiceEffect);
    int32_t id = Effect(v);
    ASSERT_TRUE(WaitFor([&] { return v->updates > 0; }));

    SoundManager::SetSoundEnabled(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));   // let a running round end
    int frozen = v->updates;
    FakeVoice other(SoundVoiceEffect);
    EXPECT_EQ(Effect(&other), 0);
    EXPECT_EQ(Music(&other, false), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(v->updates, frozen);
    EXPECT_GE(RecordIndex(id), 0);

    SoundManager::SetSoundEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return v->updates > frozen; }));
}

TEST_F(StartedSoundManager, UnknownIdsAreReportedAndIgnored) {
    FakeVoice* v = new FakeVoice(SoundVoiceMusic);
    int32_t id = Music(v);
    int32_t unknown = id + 1000;

    SoundManager::StopSound(unknown);
    EXPECT_NE(LastErrorReport().find("StopSound"), std::string::npos);
    SoundManager::FadeOutSound(unknown);
    EXPECT_NE(LastErrorReport().find("FadeOutSound"), std::string::npos);
    SoundManager::FadeOutSound(0);
    SoundManager::FreeSound(unknown);
    EXPECT_EQ(LastErrorReport(), "Error: FreeSound - could not free sound");
    SoundManager::SetVolume(unknown, -100);
    EXPECT_EQ(LastErrorReport(), "Error: SetVolume - could not find sound to set volume");

    SoundManager::FadeOutSound(id);
    EXPECT_EQ(v->fadeRequests, 1);
    SoundManager::StopSound(id);
    SoundRecord* r = SoundManager::GetRecord(RecordIndex(id));
    EXPECT_FALSE(r->active);
    EXPECT_FALSE(r->loop);
    EXPECT_FALSE(r->buffer->playing);
}

TEST_F(StartedSoundManager, ShutdownFreesEverySoundAndSlot) {
    for (int i = 0; i < 3; i++) {
        Effect();
        Music();
    }
    SoundManager::StartSound3D(Vector3{}, new FakeVoice(SoundVoiceSynth), EffectDescription());
    SoundManager::Shutdown();
    EXPECT_EQ(voicesDeleted.load(), 7);
    EXPECT_EQ(voicesClosed.load(), 6);   // a synthesised voice has nothing to close
    EXPECT_FALSE(SoundManager::IsAvailable());
    EXPECT_EQ(SoundManager::RecordCount(), 0);
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
}

TEST_F(StartedSoundManager, ListenerIsDeferredUntilCommittedAndFollowsTheSoundFlag) {
    SoundListenerObject* l = GetSoundStandIn().listener;
    SoundManager::SetListener(Vector3{1, 2, 3}, Vector3{0, 1, 0});
    EXPECT_FLOAT_EQ(l->params.position.x, 0.0f);
    SoundManager::CommitListener();
    EXPECT_FLOAT_EQ(l->params.position.z, 3.0f);
    EXPECT_FLOAT_EQ(l->params.orientFront.y, 1.0f);
    EXPECT_FLOAT_EQ(l->params.orientTop.z, 1.0f);

    SoundManager::SetSoundEnabled(false);
    SoundManager::SetListener(Vector3{9, 9, 9}, Vector3{1, 0, 0});
    SoundManager::CommitListener();
    EXPECT_FLOAT_EQ(l->params.position.x, 1.0f);
}

// A device that fails while the manager starts: reported, everything
// released, and the game goes on silent with every call harmless.
TEST_F(SoundManagerTest, FailedInitLeavesEveryOperationHarmless) {
    const struct {
        void (*fail)(SoundStandIn&);
        const char* report;
    } cases[] = {
        {[](SoundStandIn& d) { d.failCreateDevice = true; }, "SoundManager::Init()-Unable to create sound object"},
        {[](SoundStandIn& d) { d.failCooperativeLevel = true; },
         "SoundManager::Init()-Unable to set cooperative level"},
        {[](SoundStandIn& d) { d.failBufferAfter = 30; }, "ConstructSoundBuffer - Unable to create sound buffer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        ResetSoundStandIn();
        c.fail(GetSoundStandIn());
        EXPECT_FALSE(SoundManager::Init(nullptr));
        EXPECT_EQ(LastErrorReport(), std::string("Error: ") + c.report);
        EXPECT_FALSE(SoundManager::IsAvailable());
        EXPECT_FALSE(SoundManager::ListenerEnabled());
        EXPECT_EQ(GetSoundStandIn().liveReferences, 0);
        FakeVoice v(SoundVoiceEffect);
        EXPECT_EQ(Effect(&v), 0);
        EXPECT_EQ(Music(&v), 0);
        SoundManager::StopSound(1);
        SoundManager::FadeOutSound(1);
        SoundManager::FreeSound(1);
        SoundManager::SetVolume(1, 0);
        EXPECT_EQ(SoundManager::FindSound(1), -1);
        SoundManager::SetListener(Vector3{}, Vector3{1, 0, 0});
        SoundManager::CommitListener();
        SoundManager::UpdateSounds(0.04f);
        SoundManager::FreeFinishedSounds();
        SoundManager::Shutdown();
        SoundManager::Shutdown();
    }
}

TEST_F(SoundManagerTest, MissingListenerIsNeverTouched) {
    GetSoundStandIn().failListener = true;
    GetSoundStandIn().failSetFormat = true;
    ASSERT_TRUE(SoundManager::Init(nullptr));
    EXPECT_FALSE(SoundManager::ListenerEnabled());
    SoundManager::SetListener(Vector3{1, 2, 3}, Vector3{1, 0, 0});
    SoundManager::CommitListener();
    EXPECT_NE(Effect(), 0);
}

TEST_F(StartedSoundManager, MissingThreeDInterfaceStillPlays) {
    GetSoundStandIn().fail3DQuery = true;
    int32_t id = Effect();
    ASSERT_NE(id, 0);
    EXPECT_EQ(LastErrorReport(), "Error: ConstructSoundBuffer - 3d sound buffer missing");
    EXPECT_EQ(SoundManager::GetRecord(RecordIndex(id))->buffer3D, nullptr);
    SoundManager::FreeSound(id);
    EXPECT_EQ(SoundManager::SlotsInUse(), 0);
}

}  // namespace
