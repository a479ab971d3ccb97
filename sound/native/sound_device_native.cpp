// Stand-in bodies of the sound device seam for the native build.
#include <cstring>

#include "sound/native/sound_stand_in.h"

namespace {

SoundStandIn standIn;

void AddRef(SoundBufferObject* b) {
    b->refs++;
    standIn.liveReferences++;
}

void Unref(SoundBufferObject* b) {
    standIn.liveReferences--;
    if (--b->refs == 0) {
        delete b;
    }
}

}  // namespace

SoundStandIn& GetSoundStandIn() {
    return standIn;
}

void ResetSoundStandIn() {
    standIn = SoundStandIn();
}

SoundResult SoundCreateDevice(SoundDeviceObject** out) {
    *out = nullptr;
    if (standIn.failCreateDevice) {
        return SoundFail;
    }
    *out = new SoundDeviceObject;
    standIn.liveReferences++;
    return SoundOk;
}

SoundResult SoundSetCooperativeLevel(SoundDeviceObject*, void*) {
    return standIn.failCooperativeLevel ? SoundFail : SoundOk;
}

void SoundReleaseDevice(SoundDeviceObject* device) {
    if (device) {
        standIn.liveReferences--;
        delete device;
    }
}

SoundResult SoundCreateBuffer(SoundDeviceObject*, const SoundBufferDesc& desc, SoundBufferObject** out) {
    *out = nullptr;
    bool primary = (desc.flags & SoundCapsPrimaryBuffer) != 0;
    if (primary && standIn.failPrimaryBuffer) {
        return SoundFail;
    }
    if (!primary) {
        if (standIn.failBufferAfter >= 0 && standIn.buffersMade >= standIn.failBufferAfter) {
            return SoundFail;
        }
        if (desc.bufferBytes == 0 || desc.format.formatTag != SoundFormatPcm) {
            return SoundFail;
        }
        standIn.buffersMade++;
    }
    SoundBufferObject* b = new SoundBufferObject;
    b->primary = primary;
    b->desc = desc;
    if (!primary) {
        b->data.assign(desc.bufferBytes, 0);
    }
    standIn.liveReferences++;
    *out = b;
    return SoundOk;
}

SoundResult SoundQueryBuffer8(SoundBufferObject* buffer, SoundBufferObject** out) {
    *out = nullptr;
    if (standIn.failQueryBuffer8 || buffer->primary) {
        return SoundFail;
    }
    AddRef(buffer);
    *out = buffer;
    return SoundOk;
}

SoundResult SoundQuery3DBuffer(SoundBufferObject* buffer, Sound3DBufferObject** out) {
    *out = nullptr;
    if (standIn.fail3DQuery || buffer->primary || !(buffer->desc.flags & SoundCapsCtrl3D)) {
        return SoundFail;
    }
    AddRef(buffer);
    Sound3DBufferObject* b = new Sound3DBufferObject;
    b->owner = buffer;
    *out = b;
    return SoundOk;
}

SoundResult SoundQueryListener(SoundBufferObject* primary, SoundListenerObject** out) {
    *out = nullptr;
    if (standIn.failListener || !primary->primary || !(primary->desc.flags & SoundCapsCtrl3D)) {
        return SoundFail;
    }
    SoundListenerObject* l = new SoundListenerObject;
    l->params.distanceFactor = 1.0f;
    l->params.rolloffFactor = 1.0f;
    l->params.dopplerFactor = 1.0f;
    l->params.orientFront.z = 1.0f;
    l->params.orientTop.y = 1.0f;
    l->pending = l->params;
    standIn.liveReferences++;
    standIn.listener = l;
    *out = l;
    return SoundOk;
}

void SoundReleaseBuffer(SoundBufferObject* buffer) {
    if (buffer) {
        Unref(buffer);
    }
}

void SoundRelease3DBuffer(Sound3DBufferObject* buffer) {
    if (buffer) {
        Unref(buffer->owner);
        delete buffer;
    }
}

void SoundReleaseListener(SoundListenerObject* listener) {
    if (listener) {
        standIn.liveReferences--;
        if (--listener->refs == 0) {
            if (standIn.listener == listener) {
                standIn.listener = nullptr;
            }
            delete listener;
        }
    }
}

SoundResult SoundSetFormat(SoundBufferObject* primary, const SoundWaveFormat& format) {
    if (standIn.failSetFormat || !primary->primary) {
        return SoundFail;
    }
    primary->primaryFormat = format;
    return SoundOk;
}

SoundResult SoundBufferPlay(SoundBufferObject* buffer, bool looping) {
    buffer->playing = true;
    buffer->looping = looping;
    return SoundOk;
}

SoundResult SoundBufferStop(SoundBufferObject* buffer) {
    buffer->playing = false;
    return SoundOk;
}

SoundResult SoundBufferSetPosition(SoundBufferObject* buffer, uint32_t offset) {
    if (offset >= buffer->data.size() && !buffer->data.empty()) {
        return SoundFail;
    }
    buffer->position = offset;
    buffer->playCursor = offset;
    return SoundOk;
}

SoundResult SoundBufferGetPositions(SoundBufferObject* buffer, uint32_t* play, uint32_t* write) {
    uint32_t size = (uint32_t)buffer->data.size();
    if (standIn.cursorStep > 0 && buffer->playing && size > 0) {
        buffer->playCursor = (buffer->playCursor + standIn.cursorStep) % size;
        buffer->writeCursor = (buffer->playCursor + size / 16) % size;
    }
    *play = buffer->playCursor;
    *write = buffer->writeCursor;
    return SoundOk;
}

SoundResult SoundBufferSetVolume(SoundBufferObject* buffer, int32_t volume) {
    if (volume > 0 || volume < -10000) {
        return SoundFail;
    }
    buffer->volume = volume;
    return SoundOk;
}

SoundResult SoundBufferGetVolume(SoundBufferObject* buffer, int32_t* volume) {
    *volume = buffer->volume;
    return SoundOk;
}

SoundResult SoundBufferLock(SoundBufferObject* buffer, uint32_t offset, uint32_t bytes,
                            void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2) {
    *part1 = nullptr;
    *part2 = nullptr;
    *bytes1 = 0;
    *bytes2 = 0;
    uint32_t size = (uint32_t)buffer->data.size();
    if (standIn.failLock || bytes == 0 || bytes > size || offset >= size) {
        return SoundFail;
    }
    uint32_t first = size - offset < bytes ? size - offset : bytes;
    *part1 = buffer->data.data() + offset;
    *bytes1 = first;
    if (first < bytes) {
        *part2 = buffer->data.data();
        *bytes2 = bytes - first;
    }
    buffer->locks++;
    return SoundOk;
}

SoundResult SoundBufferUnlock(SoundBufferObject* buffer, void*, uint32_t, void*, uint32_t) {
    if (buffer->locks == 0) {
        return SoundFail;
    }
    buffer->locks--;
    return SoundOk;
}

SoundResult Sound3DGetParams(Sound3DBufferObject* buffer, Sound3DParams* out) {
    *out = buffer->owner->params3D;
    return SoundOk;
}

SoundResult Sound3DSetParams(Sound3DBufferObject* buffer, const Sound3DParams& params, bool) {
    buffer->owner->params3D = params;
    return SoundOk;
}

SoundResult SoundListenerGetParams(SoundListenerObject* listener, SoundListenerParams* out) {
    if (standIn.failListenerParams) {
        return SoundFail;
    }
    *out = listener->params;
    return SoundOk;
}

SoundResult SoundListenerSetParams(SoundListenerObject* listener, const SoundListenerParams& params,
                                   bool deferred) {
    if (standIn.failListenerParams) {
        return SoundFail;
    }
    listener->pending = params;
    if (!deferred) {
        listener->params = params;
    }
    return SoundOk;
}

SoundResult SoundListenerSetPosition(SoundListenerObject* listener, const Vector3& position,
                                     bool deferred) {
    listener->pending.position = position;
    if (!deferred) {
        listener->params.position = position;
    }
    return SoundOk;
}

SoundResult SoundListenerSetOrientation(SoundListenerObject* listener, const Vector3& front,
                                        const Vector3& top, bool deferred) {
    listener->pending.orientFront = front;
    listener->pending.orientTop = top;
    if (!deferred) {
        listener->params.orientFront = front;
        listener->params.orientTop = top;
    }
    return SoundOk;
}

SoundResult SoundListenerCommit(SoundListenerObject* listener) {
    listener->params = listener->pending;
    listener->commits++;
    return SoundOk;
}
