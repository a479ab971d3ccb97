// The native build's stand-in for the DirectSound device: buffers are plain
// memory, nothing is played, and tests can make any step fail and check that
// every interface handed out was released again.
#ifndef SOUND_NATIVE_SOUND_STAND_IN_H
#define SOUND_NATIVE_SOUND_STAND_IN_H

#include <vector>

#include "sound/sound_device.h"

struct SoundDeviceObject {
    int refs = 1;
};

struct SoundBufferObject {
    int refs = 1;
    bool primary = false;
    SoundBufferDesc desc;
    SoundWaveFormat primaryFormat;
    std::vector<uint8_t> data;
    bool playing = false;
    bool looping = false;
    uint32_t position = 0;        // set by SetCurrentPosition
    uint32_t playCursor = 0;      // what GetCurrentPosition reports; tests move them
    uint32_t writeCursor = 0;
    int32_t volume = 0;
    int locks = 0;                // locked and not yet unlocked
    Sound3DParams params3D;
};

struct Sound3DBufferObject {
    SoundBufferObject* owner = nullptr;
};

struct SoundListenerObject {
    int refs = 1;
    SoundListenerParams params;   // committed
    SoundListenerParams pending;  // deferred settings not yet committed
    int commits = 0;
};

struct SoundStandIn {
    // Failures to inject.
    bool failCreateDevice = false;
    bool failCooperativeLevel = false;
    bool failPrimaryBuffer = false;
    bool failSetFormat = false;
    bool failListener = false;
    bool failListenerParams = false;
    int failBufferAfter = -1;     // secondary buffers made before creation fails; -1 never
    bool failQueryBuffer8 = false;
    bool fail3DQuery = false;
    bool failLock = false;

    // Playing: each cursor read of a playing buffer first moves its play
    // cursor on by this many bytes (0: cursors move only when a test moves
    // them), the write cursor a little ahead. Set before the sounds start.
    uint32_t cursorStep = 0;

    // What happened.
    int liveReferences = 0;       // interfaces handed out and not yet released
    int buffersMade = 0;          // secondary buffers
    SoundListenerObject* listener = nullptr;   // the live listener, if any
};

SoundStandIn& GetSoundStandIn();
// Clears the failures and counters; call only when every interface was released.
void ResetSoundStandIn();

#endif
