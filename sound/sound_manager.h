// The sound manager: the DirectSound device, the 3D listener, 60 pre-made 3D
// slot buffers and the table of playing sounds, refilled every 40 ms by the
// "Sound Thread". Everything is static: without a device (no sound hardware,
// or Init failed) every operation returns at once and the game runs silent.
#ifndef SOUND_SOUND_MANAGER_H
#define SOUND_SOUND_MANAGER_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/lock.h"
#include "core/vector.h"
#include "sound/sound_device.h"

class CThread;
class CSoundVoiceBase;

const int SoundSlotCount = 60;
const uint32_t SoundRingBytes = 100000;   // every sound plays through a ring this size
const uint32_t SoundRingHalf = 50000;

// What StartSound3D and StartSound are handed: the loaded sound effect or
// stream. The manager reads the format, the buffer description and the PCM
// byte count.
struct SoundDescription {
    std::string fileName;
    SoundWaveFormat waveFormat;
    SoundBufferDesc bufferDesc;
    Sound3DParams params3D;
    uint32_t pcmBytes = 0;
    bool loaded = false;
};

// One playing sound.
struct SoundRecord {
    SoundBufferObject* buffer = nullptr;       // a slot's buffer, or its own
    Sound3DBufferObject* buffer3D = nullptr;   // 3D sounds only; owned
    SoundBufferDesc desc;
    Sound3DParams params3D;
    int32_t id = 0;
    int32_t bytesLeft = 0;       // PCM bytes still to write; -1 after the closing half of silence
    bool streamed = false;       // more PCM bytes than the ring holds
    bool active = false;
    bool loop = false;
    uint32_t loopStart = 0;      // sample frames
    uint32_t lastWritePos = 0;
    uint32_t nextWritePos = 0;
    int32_t slotIndex = -1;      // -1 when the record owns its buffer
    uint32_t totalBytes = 0;
    bool firstFillPending = false;
    CSoundVoiceBase* voice = nullptr;          // owned
};

struct SoundSlot {
    SoundBufferObject* buffer = nullptr;       // owned
    bool used = false;
};

class SoundManager {
public:
    // Start-up and shutdown, main thread. Init's failure leaves the game silent.
    static bool Init(void* window);
    static void Shutdown();
    static bool IsAvailable();

    // Main thread. Both return the new sound's id, or 0 when nothing was
    // started (no device, "sound" off, no free slot, no buffer); then the
    // caller still owns the voice. On success the manager sets the voice's id
    // (and, for StartSound, release-when-finished unless it loops) under its lock.
    static int32_t StartSound3D(const Vector3& position, CSoundVoiceBase* voice,
                                const SoundDescription& description);
    static int32_t StartSound(CSoundVoiceBase* voice, const SoundDescription& description,
                              bool loop, uint32_t loopStart, int32_t volume);
    // A synthesised sound on a 3D slot: the default format, endless (9999999
    // bytes), no velocity; it ends when its voice falls silent.
    static int32_t StartEndlessSound3D(const Vector3& position, CSoundVoiceBase* voice);
    // Silent at once; the sound is freed in the next round, as a finished one is.
    static void StopSound(int32_t id);
    static void FadeOutSound(int32_t id);
    static void FreeSound(int32_t id);
    static void SetVolume(int32_t id, int32_t volume);
    static int FindSound(int32_t id);      // index into the records, or -1

    // Listener: position and unit look direction (z up), deferred; no lock.
    // The game commits the deferred settings once per frame.
    static void SetListener(const Vector3& position, const Vector3& look);
    static void CommitListener();

    // Sound Thread, under the lock.
    static void UpdateSounds(float seconds);
    static void FreeFinishedSounds();

    // The "sound" console flag, mirrored here so the Sound Thread never reads
    // the console object. On while there is no console.
    static void SetSoundEnabled(bool on);
    static bool IsSoundEnabled();

    // Inspection (tests and tools). Take the lock around a walk that the
    // Sound Thread could disturb.
    static CCriticalSection* GetLock();
    static int RecordCount();
    static SoundRecord* GetRecord(int index);
    static int SlotsInUse();
    static bool ListenerEnabled();
    static int32_t PeekNextSoundId();
    static const SoundBufferDesc& GetDefaultBufferDesc();
    static const Sound3DParams& GetDefault3DParams();

    // Further operations.
    static int FindFreeSlot();               // marks the slot used
    static SoundResult SetUpPrimaryBuffer();
    static SoundResult SetUp3DListener();

private:
    SoundManager();
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    SoundResult CreateSlotBuffers();
    void ReleaseSlotBuffers();
    static SoundRecord* ConstructSoundBuffer3D(const SoundDescription& description);
    static SoundRecord* ConstructSoundBuffer(const SoundDescription& description);
    static SoundRecord* ConstructEndlessSoundBuffer3D();
    static int32_t StartOnSlot(const Vector3& position, CSoundVoiceBase* voice, SoundRecord* record,
                               bool moving);
    static void StopRecord(SoundRecord* record);
    static SoundRecord* NewRecord();
    static void DropNewRecord(SoundRecord* record);
    static void SoundThreadMain(CThread* thread, void* manager);

    CCriticalSection lock;
    CThread* thread;
};

#endif
