#include "sound/ring_refill.h"

#include <cstdint>
#include <cstring>

#include "sound/sound_decoder.h"
#include "sound/sound_manager.h"
#include "sound/voice.h"

namespace {

// Damaged data may give a few holes in a row; past this the part is given up.
const int MaxHolesInARow = 8;

uint32_t WrapRing(uint32_t offset) {
    return offset >= SoundRingBytes ? offset - SoundRingBytes : offset;
}

// Whether the half at next may be written: not while the cursors are on it,
// nor while it lies more than a half ahead of the play cursor.
bool HalfIsFree(uint32_t next, uint32_t play, uint32_t write) {
    if (play < write) {
        if (next >= play && next <= write) {
            return false;
        }
    } else if (write < play) {
        if (next <= write || next >= play) {
            return false;
        }
    }
    uint32_t ahead = next >= play ? next - play : next + SoundRingBytes - play;
    return ahead <= SoundRingHalf;
}

// The last `left` bytes of the sound were planned at offset; the rest of the
// half comes from the loop start when the sound loops, else it is silence.
void FinishHalf(SoundRecord& r, RingPlan& plan, uint32_t offset, uint32_t left) {
    uint32_t rest = SoundRingHalf - left;
    if (r.loop) {
        // Loop start in sample frames of the sound's own format.
        int64_t frameBytes = r.desc.format.blockAlign ? r.desc.format.blockAlign : 4;
        int64_t loopBytes = (int64_t)r.loopStart * frameBytes;
        plan.Add(RingStep::Seek);
        if (rest > 0) {
            plan.Add(RingStep::Decode, WrapRing(offset + left), rest);
        }
        int64_t after = (int64_t)r.bytesLeft + (int64_t)r.totalBytes - loopBytes - SoundRingHalf;
        // A loop shorter than the rest of a half runs the decoder dry (zeros)
        // and ends like a sound that ran out.
        r.bytesLeft = after <= 0 ? 0 : after > INT32_MAX ? INT32_MAX : (int32_t)after;
    } else {
        if (rest > 0) {
            plan.Add(RingStep::Silence, WrapRing(offset + left), rest);
        }
        r.bytesLeft = 0;
    }
}

}  // namespace

void RingPlan::Add(RingStep::Kind kind, uint32_t offset, uint32_t bytes, bool looping) {
    if (count < (int)(sizeof(steps) / sizeof(steps[0]))) {
        steps[count++] = RingStep{kind, offset, bytes, looping};
    }
}

RingPlan PlanRingRefill(SoundRecord& r, uint32_t play, uint32_t write, RingSource source) {
    RingPlan plan;
    if (r.firstFillPending) {
        r.firstFillPending = false;
        if (source == RingFromVoice || r.bytesLeft >= (int32_t)SoundRingHalf) {
            plan.Add(RingStep::Decode, 0, SoundRingHalf);
            if (source == RingFromDecoder) {
                r.bytesLeft -= SoundRingHalf;
            }
        } else {
            uint32_t left = r.bytesLeft > 0 ? (uint32_t)r.bytesLeft : 0;
            if (left > 0) {
                plan.Add(RingStep::Decode, 0, left);
            }
            r.bytesLeft = (int32_t)left;
            FinishHalf(r, plan, 0, left);
        }
        r.lastWritePos = 0;
        r.nextWritePos = SoundRingHalf;
        plan.Add(RingStep::Play, 0, 0, source == RingFromVoice || r.streamed || r.loop);
        return plan;
    }

    uint32_t next = r.nextWritePos;
    if (!HalfIsFree(next, play, write)) {
        return plan;
    }
    if (play == next) {
        next = write;
    }
    next = WrapRing(next);

    if (r.bytesLeft <= 0) {
        plan.Add(RingStep::Silence, next, SoundRingHalf);
        if (r.bytesLeft == -1) {
            plan.Add(RingStep::StopVoice);
        } else {
            r.bytesLeft = -1;
        }
    } else if (source == RingFromVoice || r.bytesLeft > (int32_t)SoundRingHalf) {
        plan.Add(RingStep::Decode, next, SoundRingHalf);
        if (source == RingFromDecoder) {
            r.bytesLeft -= SoundRingHalf;
        }
    } else {
        uint32_t left = (uint32_t)r.bytesLeft;
        plan.Add(RingStep::Decode, next, left);
        FinishHalf(r, plan, next, left);
    }
    r.lastWritePos = next;
    r.nextWritePos = WrapRing(next + SoundRingHalf);
    return plan;
}

// ---- writers -----------------------------------------------------------------------

namespace {

// memset does not take the null pointer of an empty second part.
void Zero(void* to, uint32_t bytes) {
    if (bytes > 0) {
        memset(to, 0, bytes);
    }
}

// Fills one locked part from the decoder; what it cannot fill is zeroed.
void FillFromDecoder(CSoundDecoder* decoder, uint8_t* to, uint32_t size) {
    uint32_t done = 0;
    int holes = 0;
    while (done < size && decoder) {
        long n = decoder->Read((char*)to + done, (int)(size - done));
        if (n > 0) {
            done += (uint32_t)n < size - done ? (uint32_t)n : size - done;
            holes = 0;
        } else if (n == SoundDecodeHole && ++holes <= MaxHolesInARow) {
            continue;
        } else {
            break;   // the end, or an error that reading again will not mend
        }
    }
    Zero(to + done, size - done);
}

// Fills one locked part from the voice; false when it fell silent (the rest zeroed).
bool FillFromVoice(CSoundVoiceBase* voice, uint8_t* to, uint32_t size) {
    uint32_t done = 0;
    bool more = true;
    while (size - done >= 2) {
        uint32_t room = (size - done) & ~1u;
        int n = voice->Read((int16_t*)(to + done), (int)(room / 2));
        // Whole samples only; a voice that yields none (or half of one) is silent.
        uint32_t got = n > 0 ? (uint32_t)n & ~1u : 0;
        if (got == 0) {
            more = false;
            break;
        }
        done += got < room ? got : room;
    }
    Zero(to + done, size - done);
    return more;
}

struct LockedRange {
    void* part[2] = {nullptr, nullptr};
    uint32_t bytes[2] = {0, 0};
};

bool LockRange(SoundBufferObject* buffer, uint32_t offset, uint32_t bytes, LockedRange& range) {
    if (!buffer || bytes == 0) {
        return false;
    }
    if (SoundFailed(SoundBufferLock(buffer, offset, bytes, &range.part[0], &range.bytes[0], &range.part[1],
                                    &range.bytes[1]))) {
        return false;
    }
    for (int i = 0; i < 2; i++) {
        if (!range.part[i]) {
            range.bytes[i] = 0;
        }
    }
    return true;
}

void UnlockRange(SoundBufferObject* buffer, LockedRange& range) {
    SoundBufferUnlock(buffer, range.part[0], range.bytes[0], range.part[1], range.bytes[1]);
}

}  // namespace

bool WriteOggSamples(uint32_t bytes, CSoundDecoder* decoder, SoundBufferObject* buffer, uint32_t offset) {
    LockedRange range;
    if (!LockRange(buffer, offset, bytes, range)) {
        return false;
    }
    for (int i = 0; i < 2; i++) {
        FillFromDecoder(decoder, (uint8_t*)range.part[i], range.bytes[i]);
    }
    UnlockRange(buffer, range);
    return true;
}

bool WriteVoiceSamples(uint32_t bytes, CSoundVoiceBase* voice, SoundBufferObject* buffer, uint32_t offset) {
    LockedRange range;
    if (!LockRange(buffer, offset, bytes, range)) {
        return false;
    }
    bool more = FillFromVoice(voice, (uint8_t*)range.part[0], range.bytes[0]);
    if (more) {
        more = FillFromVoice(voice, (uint8_t*)range.part[1], range.bytes[1]);
    } else {
        Zero(range.part[1], range.bytes[1]);
    }
    UnlockRange(buffer, range);
    return more;
}

bool WriteSilence(uint32_t bytes, SoundBufferObject* buffer, uint32_t offset) {
    LockedRange range;
    if (!LockRange(buffer, offset, bytes, range)) {
        return false;
    }
    for (int i = 0; i < 2; i++) {
        Zero(range.part[i], range.bytes[i]);
    }
    UnlockRange(buffer, range);
    return true;
}

// ---- rounds ------------------------------------------------------------------------

namespace {

void RunPlan(const RingPlan& plan, SoundRecord* r, CSoundDecoder* decoder, CSoundVoiceBase* voice,
             RingSource source) {
    for (int i = 0; i < plan.count; i++) {
        const RingStep& s = plan.steps[i];
        switch (s.kind) {
        case RingStep::Decode:
            if (source == RingFromDecoder) {
                WriteOggSamples(s.bytes, decoder, r->buffer, s.offset);
            } else if (!WriteVoiceSamples(s.bytes, voice, r->buffer, s.offset)) {
                r->bytesLeft = 0;   // the voice fell silent: end with a half of silence
            }
            break;
        case RingStep::Silence:
            WriteSilence(s.bytes, r->buffer, s.offset);
            break;
        case RingStep::Seek:
            if (decoder) {
                decoder->Seek(r->loopStart);
            }
            break;
        case RingStep::Play:
            SoundBufferPlay(r->buffer, s.looping);
            break;
        case RingStep::StopVoice:
            voice->Stop();
            break;
        }
    }
}

bool ReadCursors(SoundRecord* r, uint32_t* play, uint32_t* write) {
    *play = 0;
    *write = 0;
    return r->firstFillPending || !SoundFailed(SoundBufferGetPositions(r->buffer, play, write));
}

}  // namespace

void RefillOggStream(CSoundDecoder* decoder, SoundRecord* record, CSoundVoiceBase* voice) {
    uint32_t play, write;
    if (record->buffer && ReadCursors(record, &play, &write)) {
        RunPlan(PlanRingRefill(*record, play, write, RingFromDecoder), record, decoder, voice, RingFromDecoder);
    }
}

void RefillSynthStream(SoundRecord* record, CSoundVoiceBase* voice) {
    uint32_t play, write;
    if (record->buffer && ReadCursors(record, &play, &write)) {
        RunPlan(PlanRingRefill(*record, play, write, RingFromVoice), record, nullptr, voice, RingFromVoice);
    }
}
