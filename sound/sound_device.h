// The sound device seam: thin free functions over DirectSound 8. The bodies
// live in sound/win32 (DirectSound) and sound/native (a stand-in that keeps
// buffers in memory and plays nothing), so the sound manager's bookkeeping
// is the same code on both builds. Results are HRESULTs: negative on failure.
#ifndef SOUND_SOUND_DEVICE_H
#define SOUND_SOUND_DEVICE_H

#include <cstdint>

#include "core/vector.h"

typedef int32_t SoundResult;
const SoundResult SoundOk = 0;
const SoundResult SoundFail = (SoundResult)0x80004005u;   // E_FAIL
inline bool SoundFailed(SoundResult r) { return r < 0; }

struct SoundDeviceObject;    // IDirectSound8
struct SoundBufferObject;    // IDirectSoundBuffer (IDirectSoundBuffer8 after SoundQueryBuffer8)
struct Sound3DBufferObject;  // IDirectSound3DBuffer
struct SoundListenerObject;  // IDirectSound3DListener

// WAVEFORMATEX without the extra-bytes count (always 0 here).
struct SoundWaveFormat {
    uint16_t formatTag = 0;       // 1 = PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

const uint16_t SoundFormatPcm = 1;

// Buffer capability flags, DirectSound's values.
enum {
    SoundCapsPrimaryBuffer = 0x00000001,
    SoundCapsCtrl3D = 0x00000010,
    SoundCapsCtrlFrequency = 0x00000020,
    SoundCapsCtrlVolume = 0x00000080,
    SoundCapsGlobalFocus = 0x00008000,
    SoundCapsGetCurrentPosition2 = 0x00010000
};

enum Sound3DAlgorithm {
    Sound3DAlgorithmNone = 0,      // DirectSound's default
    Sound3DAlgorithmHrtfFull = 1,
    Sound3DAlgorithmHrtfLight = 2
};

// DSBUFFERDESC. The format is held by value; the Windows body builds the
// WAVEFORMATEX and sets the record's size itself.
struct SoundBufferDesc {
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    SoundWaveFormat format;
    int algorithm = Sound3DAlgorithmNone;
};

// DS3DBUFFER.
struct Sound3DParams {
    Vector3 position;
    Vector3 velocity;
    uint32_t insideConeAngle = 0;
    uint32_t outsideConeAngle = 0;
    Vector3 coneOrientation;
    int32_t coneOutsideVolume = 0;
    float minDistance = 0.0f;
    float maxDistance = 0.0f;
    uint32_t mode = 0;            // 0 normal
};

// DS3DLISTENER.
struct SoundListenerParams {
    Vector3 position;
    Vector3 velocity;
    Vector3 orientFront;
    Vector3 orientTop;
    float distanceFactor = 0.0f;
    float rolloffFactor = 0.0f;
    float dopplerFactor = 0.0f;
};

// Device. Every release function accepts null.
SoundResult SoundCreateDevice(SoundDeviceObject** out);
SoundResult SoundSetCooperativeLevel(SoundDeviceObject* device, void* window);   // priority level
void SoundReleaseDevice(SoundDeviceObject* device);

// Buffers. A description with SoundCapsPrimaryBuffer makes the primary buffer.
SoundResult SoundCreateBuffer(SoundDeviceObject* device, const SoundBufferDesc& desc,
                              SoundBufferObject** out);
SoundResult SoundQueryBuffer8(SoundBufferObject* buffer, SoundBufferObject** out);
SoundResult SoundQuery3DBuffer(SoundBufferObject* buffer, Sound3DBufferObject** out);
SoundResult SoundQueryListener(SoundBufferObject* primary, SoundListenerObject** out);
void SoundReleaseBuffer(SoundBufferObject* buffer);
void SoundRelease3DBuffer(Sound3DBufferObject* buffer);
void SoundReleaseListener(SoundListenerObject* listener);

SoundResult SoundSetFormat(SoundBufferObject* primary, const SoundWaveFormat& format);
SoundResult SoundBufferPlay(SoundBufferObject* buffer, bool looping);
SoundResult SoundBufferStop(SoundBufferObject* buffer);
SoundResult SoundBufferSetPosition(SoundBufferObject* buffer, uint32_t offset);
SoundResult SoundBufferGetPositions(SoundBufferObject* buffer, uint32_t* play, uint32_t* write);
SoundResult SoundBufferSetVolume(SoundBufferObject* buffer, int32_t volume);   // hundredths of a dB
SoundResult SoundBufferGetVolume(SoundBufferObject* buffer, int32_t* volume);
// Two parts because the locked range may wrap around the end of the ring.
SoundResult SoundBufferLock(SoundBufferObject* buffer, uint32_t offset, uint32_t bytes,
                            void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2);
SoundResult SoundBufferUnlock(SoundBufferObject* buffer, void* part1, uint32_t bytes1,
                              void* part2, uint32_t bytes2);

// 3D buffer and listener. Deferred settings wait for SoundListenerCommit.
SoundResult Sound3DGetParams(Sound3DBufferObject* buffer, Sound3DParams* out);
SoundResult Sound3DSetParams(Sound3DBufferObject* buffer, const Sound3DParams& params, bool deferred);
SoundResult SoundListenerGetParams(SoundListenerObject* listener, SoundListenerParams* out);
SoundResult SoundListenerSetParams(SoundListenerObject* listener, const SoundListenerParams& params,
                                   bool deferred);
SoundResult SoundListenerSetPosition(SoundListenerObject* listener, const Vector3& position,
                                     bool deferred);
SoundResult SoundListenerSetOrientation(SoundListenerObject* listener, const Vector3& front,
                                        const Vector3& top, bool deferred);
SoundResult SoundListenerCommit(SoundListenerObject* listener);

#endif
