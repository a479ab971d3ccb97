// Sound Thread rounds run by the test itself: the fixture holds the sound
// lock for the whole test, so the real thread waits and every round is one
// the test asked for.
#ifndef TESTS_SOUND_SOUND_TEST_ROUNDS_H
#define TESTS_SOUND_SOUND_TEST_ROUNDS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/lock.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_decoder.h"
#include "sound/sound_manager.h"
#include "tests/sound/scripted_decoder.h"

class SoundRoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSoundStandIn();
        SoundManager::SetSoundEnabled(true);
        scriptForNewDecoders = DecoderScript();
        SetSoundDecoderMaker(MakeScriptedDecoder);
        ASSERT_TRUE(SoundManager::Init(nullptr));
        hold.reset(new CAutoLock(SoundManager::GetLock()));
    }
    void TearDown() override {
        hold.reset();
        SoundManager::Shutdown();
        SoundManager::SetSoundEnabled(true);
        SetSoundDecoderMaker(nullptr);
        EXPECT_EQ(GetSoundStandIn().liveReferences, 0) << "an interface was not released";
        EXPECT_EQ(scriptedLive.load(), 0) << "a voice was not deleted";
    }

    static void Round(float seconds = 0.04f) {
        SoundManager::UpdateSounds(seconds);
        SoundManager::FreeFinishedSounds();
    }
    static SoundRecord* Record(int32_t id) { return SoundManager::GetRecord(SoundManager::FindSound(id)); }
    static void Cursors(SoundBufferObject* b, uint32_t play, uint32_t write) {
        b->playCursor = play;
        b->writeCursor = write;
    }
    // The play cursor 40000 bytes short of the next half to write: that half is due.
    static void HalfDue(SoundRecord* r) {
        Cursors(r->buffer, (r->nextWritePos + 60000) % SoundRingBytes, (r->nextWritePos + 64000) % SoundRingBytes);
    }
    // Rounds with the next half due until the sound is freed, at most `rounds`.
    static bool PlaysToItsEnd(int32_t id, int rounds) {
        for (int i = 0; i < rounds && SoundManager::FindSound(id) >= 0; i++) {
            HalfDue(Record(id));
            Round();
        }
        return SoundManager::FindSound(id) < 0;
    }
    static std::vector<uint8_t> Bytes(SoundBufferObject* b, uint32_t from, uint32_t count) {
        return std::vector<uint8_t>(b->data.begin() + from, b->data.begin() + from + count);
    }
    static bool Silent(SoundBufferObject* b, uint32_t from, uint32_t count) {
        return std::all_of(b->data.begin() + from, b->data.begin() + from + count, [](uint8_t v) { return v == 0; });
    }

    std::unique_ptr<CAutoLock> hold;
};

#endif
