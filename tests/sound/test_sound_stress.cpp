// The main thread plays, fades, stops and frees sounds while the Sound Thread and a
// second, tight round loop refill them. Built a second time under
// ThreadSanitizer (tests_sound_tsan): any unguarded access is a failure there.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/lock.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_effect.h"
#include "sound/sound_manager.h"
#include "sound/stream_sound.h"
#include "tests/sound/scripted_decoder.h"

namespace {

void RunRound(float seconds) {
    CAutoLock guard(SoundManager::GetLock());
    SoundManager::UpdateSounds(seconds);
    SoundManager::FreeFinishedSounds();
}

int Records() {
    CAutoLock guard(SoundManager::GetLock());
    return SoundManager::RecordCount();
}

TEST(SoundThreadStress, PlaysAndFadesWhileTheSoundThreadRefills) {
    ResetSoundStandIn();
    GetSoundStandIn().cursorStep = 30000;   // every buffer plays on as its cursors are read
    SoundManager::SetSoundEnabled(true);
    scriptForNewDecoders = DecoderScript();
    scriptForNewDecoders.totalBytes = 70000;
    scriptForNewDecoders.chunk = 8192;
    SetSoundDecoderMaker(MakeScriptedDecoder);
    ASSERT_TRUE(SoundManager::Init(nullptr));
    CSoundEffect effect;
    CStreamSound music;
    ASSERT_TRUE(effect.Load("data\\sound effects\\shot.ogg"));
    ASSERT_TRUE(music.Load("data\\music\\tune.ogg"));

    std::atomic<bool> done(false);
    std::thread rounds([&done] {
        while (!done.load()) {
            RunRound(0.05f);
            std::this_thread::yield();
        }
    });
    int started = 0;
    for (int i = 0; i < 400; i++) {
        started += effect.PlayAt(Vector3{(float)i, 0, 0}) != 0;
        if (i % 25 == 0) {
            music.Play(i % 50 == 0);
        } else if (i % 25 == 12) {
            music.Stop();
        }
        SoundManager::FindSound(effect.GetLastSoundId());
        if (i % 10 == 5) {
            // The stop key: its sound is freed on the other thread's next round.
            SoundManager::StopSound(effect.GetLastSoundId());
            SoundManager::StopSound(music.GetSoundId());
        }
        if (i % 100 == 99) {
            SoundManager::SetSoundEnabled(false);
            std::this_thread::yield();
            SoundManager::SetSoundEnabled(true);
        }
        std::this_thread::yield();
    }
    done = true;
    rounds.join();
    EXPECT_GT(started, 0);

    music.Stop();
    for (int i = 0; i < 20 && Records() > 0; i++) {
        RunRound(1.0f);
    }
    EXPECT_EQ(Records(), 0) << "every sound ended and was freed";
    SoundManager::Shutdown();
    SetSoundDecoderMaker(nullptr);
    EXPECT_EQ(GetSoundStandIn().liveReferences, 0);
    EXPECT_EQ(scriptedLive.load(), 0);
}

}  // namespace
