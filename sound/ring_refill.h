// Refilling a sound's 100000-byte ring in halves of 50000. PlanRingRefill is
// the pure part: from the record's counters and the buffer's cursors it
// decides what goes where this round and updates the counters. The writers
// then carry the plan out through the sound device seam, so the DirectSound
// build and the native stand-in run the same code. All of it runs on the
// Sound Thread under the sound lock.
#ifndef SOUND_RING_REFILL_H
#define SOUND_RING_REFILL_H

#include <cstdint>

struct SoundRecord;
struct SoundBufferObject;
class CSoundDecoder;
class CSoundVoiceBase;

struct RingStep {
    enum Kind {
        Decode,      // `bytes` from the sound's source at `offset`
        Silence,     // `bytes` of zeros at `offset`
        Seek,        // the source back to the record's loop start
        Play,        // start the buffer, looping or not
        StopVoice    // the closing half of silence was written last round
    };
    Kind kind;
    uint32_t offset;
    uint32_t bytes;
    bool looping;
};

struct RingPlan {
    RingStep steps[6];
    int count = 0;
    void Add(RingStep::Kind kind, uint32_t offset = 0, uint32_t bytes = 0, bool looping = false);
};

// What feeds the ring: an Ogg decoder (counted bytes, seeks to loop) or a
// synthesised voice (endless until it falls silent).
enum RingSource { RingFromDecoder, RingFromVoice };

// The round's plan for the record; play and write are the buffer's cursors
// (not read while the first fill is pending). Updates bytes left, the write
// positions and the first-fill flag.
RingPlan PlanRingRefill(SoundRecord& record, uint32_t play, uint32_t write, RingSource source);

// Writers: each locks the buffer at `offset` for `bytes`, fills both parts
// the lock returns and unlocks. A failed lock writes nothing and gives false.
// A decoder that runs dry or fails leaves zeros, never old ring bytes.
bool WriteOggSamples(uint32_t bytes, CSoundDecoder* decoder, SoundBufferObject* buffer, uint32_t offset);
// False when the voice yields nothing; the rest of the range is then zeros.
bool WriteVoiceSamples(uint32_t bytes, CSoundVoiceBase* voice, SoundBufferObject* buffer, uint32_t offset);
bool WriteSilence(uint32_t bytes, SoundBufferObject* buffer, uint32_t offset);

// One round for an Ogg voice or a synthesised voice: reads the cursors,
// plans and writes.
void RefillOggStream(CSoundDecoder* decoder, SoundRecord* record, CSoundVoiceBase* voice);
void RefillSynthStream(SoundRecord* record, CSoundVoiceBase* voice);

#endif
