// DirectSound 8 bodies of the sound device seam. The opaque handle types are
// the COM interface pointers themselves.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "sound/sound_device.h"

namespace {

IDirectSound8* Device(SoundDeviceObject* d) { return (IDirectSound8*)d; }
IDirectSoundBuffer* Buffer(SoundBufferObject* b) { return (IDirectSoundBuffer*)b; }
IDirectSound3DBuffer* Buffer3D(Sound3DBufferObject* b) { return (IDirectSound3DBuffer*)b; }
IDirectSound3DListener* Listener(SoundListenerObject* l) { return (IDirectSound3DListener*)l; }

DWORD Apply(bool deferred) { return deferred ? DS3D_DEFERRED : DS3D_IMMEDIATE; }

D3DVECTOR ToD3D(const Vector3& v) {
    D3DVECTOR out;
    out.x = v.x;
    out.y = v.y;
    out.z = v.z;
    return out;
}

Vector3 FromD3D(const D3DVECTOR& v) {
    Vector3 out;
    out.x = v.x;
    out.y = v.y;
    out.z = v.z;
    return out;
}

void ToWaveFormat(const SoundWaveFormat& in, WAVEFORMATEX& out) {
    ZeroMemory(&out, sizeof(out));
    out.wFormatTag = in.formatTag;
    out.nChannels = in.channels;
    out.nSamplesPerSec = in.samplesPerSec;
    out.nAvgBytesPerSec = in.avgBytesPerSec;
    out.nBlockAlign = in.blockAlign;
    out.wBitsPerSample = in.bitsPerSample;
    out.cbSize = 0;
}

}  // namespace

SoundResult SoundCreateDevice(SoundDeviceObject** out) {
    IDirectSound8* device = nullptr;
    HRESULT hr = DirectSoundCreate8(nullptr, &device, nullptr);
    *out = SUCCEEDED(hr) ? (SoundDeviceObject*)device : nullptr;
    return hr;
}

SoundResult SoundSetCooperativeLevel(SoundDeviceObject* device, void* window) {
    return Device(device)->SetCooperativeLevel((HWND)window, DSSCL_PRIORITY);
}

void SoundReleaseDevice(SoundDeviceObject* device) {
    if (device) {
        Device(device)->Release();
    }
}

SoundResult SoundCreateBuffer(SoundDeviceObject* device, const SoundBufferDesc& desc,
                              SoundBufferObject** out) {
    WAVEFORMATEX format;
    ToWaveFormat(desc.format, format);
    DSBUFFERDESC d;
    ZeroMemory(&d, sizeof(d));
    // The record's own size: 36 bytes on 32-bit Windows, 40 on x64.
    d.dwSize = sizeof(DSBUFFERDESC);
    d.dwFlags = desc.flags;
    if (!(desc.flags & DSBCAPS_PRIMARYBUFFER)) {
        d.dwBufferBytes = desc.bufferBytes;
        d.lpwfxFormat = &format;
    }
    if (desc.algorithm == Sound3DAlgorithmHrtfFull) {
        d.guid3DAlgorithm = DS3DALG_HRTF_FULL;
    } else if (desc.algorithm == Sound3DAlgorithmHrtfLight) {
        d.guid3DAlgorithm = DS3DALG_HRTF_LIGHT;
    } else {
        d.guid3DAlgorithm = DS3DALG_DEFAULT;
    }
    IDirectSoundBuffer* buffer = nullptr;
    HRESULT hr = Device(device)->CreateSoundBuffer(&d, &buffer, nullptr);
    *out = SUCCEEDED(hr) ? (SoundBufferObject*)buffer : nullptr;
    return hr;
}

SoundResult SoundQueryBuffer8(SoundBufferObject* buffer, SoundBufferObject** out) {
    IDirectSoundBuffer8* b8 = nullptr;
    HRESULT hr = Buffer(buffer)->QueryInterface(IID_IDirectSoundBuffer8, (void**)&b8);
    *out = SUCCEEDED(hr) ? (SoundBufferObject*)b8 : nullptr;
    return hr;
}

SoundResult SoundQuery3DBuffer(SoundBufferObject* buffer, Sound3DBufferObject** out) {
    IDirectSound3DBuffer* b3 = nullptr;
    HRESULT hr = Buffer(buffer)->QueryInterface(IID_IDirectSound3DBuffer, (void**)&b3);
    *out = SUCCEEDED(hr) ? (Sound3DBufferObject*)b3 : nullptr;
    return hr;
}

SoundResult SoundQueryListener(SoundBufferObject* primary, SoundListenerObject** out) {
    IDirectSound3DListener* l = nullptr;
    HRESULT hr = Buffer(primary)->QueryInterface(IID_IDirectSound3DListener, (void**)&l);
    *out = SUCCEEDED(hr) ? (SoundListenerObject*)l : nullptr;
    return hr;
}

void SoundReleaseBuffer(SoundBufferObject* buffer) {
    if (buffer) {
        Buffer(buffer)->Release();
    }
}

void SoundRelease3DBuffer(Sound3DBufferObject* buffer) {
    if (buffer) {
        Buffer3D(buffer)->Release();
    }
}

void SoundReleaseListener(SoundListenerObject* listener) {
    if (listener) {
        Listener(listener)->Release();
    }
}

SoundResult SoundSetFormat(SoundBufferObject* primary, const SoundWaveFormat& format) {
    WAVEFORMATEX f;
    ToWaveFormat(format, f);
    return Buffer(primary)->SetFormat(&f);
}

SoundResult SoundBufferPlay(SoundBufferObject* buffer, bool looping) {
    return Buffer(buffer)->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
}

SoundResult SoundBufferStop(SoundBufferObject* buffer) {
    return Buffer(buffer)->Stop();
}

SoundResult SoundBufferSetPosition(SoundBufferObject* buffer, uint32_t offset) {
    return Buffer(buffer)->SetCurrentPosition(offset);
}

SoundResult SoundBufferGetPositions(SoundBufferObject* buffer, uint32_t* play, uint32_t* write) {
    DWORD p = 0;
    DWORD w = 0;
    HRESULT hr = Buffer(buffer)->GetCurrentPosition(&p, &w);
    *play = p;
    *write = w;
    return hr;
}

SoundResult SoundBufferSetVolume(SoundBufferObject* buffer, int32_t volume) {
    return Buffer(buffer)->SetVolume(volume);
}

SoundResult SoundBufferGetVolume(SoundBufferObject* buffer, int32_t* volume) {
    LONG v = 0;
    HRESULT hr = Buffer(buffer)->GetVolume(&v);
    *volume = v;
    return hr;
}

SoundResult SoundBufferLock(SoundBufferObject* buffer, uint32_t offset, uint32_t bytes,
                            void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2) {
    DWORD n1 = 0;
    DWORD n2 = 0;
    *part1 = nullptr;
    *part2 = nullptr;
    HRESULT hr = Buffer(buffer)->Lock(offset, bytes, part1, &n1, part2, &n2, 0);
    *bytes1 = n1;
    *bytes2 = n2;
    return hr;
}

SoundResult SoundBufferUnlock(SoundBufferObject* buffer, void* part1, uint32_t bytes1,
                              void* part2, uint32_t bytes2) {
    return Buffer(buffer)->Unlock(part1, bytes1, part2, bytes2);
}

SoundResult Sound3DGetParams(Sound3DBufferObject* buffer, Sound3DParams* out) {
    DS3DBUFFER p;
    ZeroMemory(&p, sizeof(p));
    p.dwSize = sizeof(DS3DBUFFER);
    HRESULT hr = Buffer3D(buffer)->GetAllParameters(&p);
    if (SUCCEEDED(hr)) {
        out->position = FromD3D(p.vPosition);
        out->velocity = FromD3D(p.vVelocity);
        out->insideConeAngle = p.dwInsideConeAngle;
        out->outsideConeAngle = p.dwOutsideConeAngle;
        out->coneOrientation = FromD3D(p.vConeOrientation);
        out->coneOutsideVolume = p.lConeOutsideVolume;
        out->minDistance = p.flMinDistance;
        out->maxDistance = p.flMaxDistance;
        out->mode = p.dwMode;
    }
    return hr;
}

SoundResult Sound3DSetParams(Sound3DBufferObject* buffer, const Sound3DParams& params, bool deferred) {
    DS3DBUFFER p;
    ZeroMemory(&p, sizeof(p));
    p.dwSize = sizeof(DS3DBUFFER);
    p.vPosition = ToD3D(params.position);
    p.vVelocity = ToD3D(params.velocity);
    p.dwInsideConeAngle = params.insideConeAngle;
    p.dwOutsideConeAngle = params.outsideConeAngle;
    p.vConeOrientation = ToD3D(params.coneOrientation);
    p.lConeOutsideVolume = params.coneOutsideVolume;
    p.flMinDistance = params.minDistance;
    p.flMaxDistance = params.maxDistance;
    p.dwMode = params.mode;
    return Buffer3D(buffer)->SetAllParameters(&p, Apply(deferred));
}

SoundResult SoundListenerGetParams(SoundListenerObject* listener, SoundListenerParams* out) {
    DS3DLISTENER p;
    ZeroMemory(&p, sizeof(p));
    p.dwSize = sizeof(DS3DLISTENER);
    HRESULT hr = Listener(listener)->GetAllParameters(&p);
    if (SUCCEEDED(hr)) {
        out->position = FromD3D(p.vPosition);
        out->velocity = FromD3D(p.vVelocity);
        out->orientFront = FromD3D(p.vOrientFront);
        out->orientTop = FromD3D(p.vOrientTop);
        out->distanceFactor = p.flDistanceFactor;
        out->rolloffFactor = p.flRolloffFactor;
        out->dopplerFactor = p.flDopplerFactor;
    }
    return hr;
}

SoundResult SoundListenerSetParams(SoundListenerObject* listener, const SoundListenerParams& params,
                                   bool deferred) {
    DS3DLISTENER p;
    ZeroMemory(&p, sizeof(p));
    p.dwSize = sizeof(DS3DLISTENER);
    p.vPosition = ToD3D(params.position);
    p.vVelocity = ToD3D(params.velocity);
    p.vOrientFront = ToD3D(params.orientFront);
    p.vOrientTop = ToD3D(params.orientTop);
    p.flDistanceFactor = params.distanceFactor;
    p.flRolloffFactor = params.rolloffFactor;
    p.flDopplerFactor = params.dopplerFactor;
    return Listener(listener)->SetAllParameters(&p, Apply(deferred));
}

SoundResult SoundListenerSetPosition(SoundListenerObject* listener, const Vector3& position,
                                     bool deferred) {
    return Listener(listener)->SetPosition(position.x, position.y, position.z, Apply(deferred));
}

SoundResult SoundListenerSetOrientation(SoundListenerObject* listener, const Vector3& front,
                                        const Vector3& top, bool deferred) {
    return Listener(listener)->SetOrientation(front.x, front.y, front.z, top.x, top.y, top.z,
                                              Apply(deferred));
}

SoundResult SoundListenerCommit(SoundListenerObject* listener) {
    return Listener(listener)->CommitDeferredSettings();
}
