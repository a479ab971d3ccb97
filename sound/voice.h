// A voice feeds one playing sound's ring buffer on the Sound Thread. Once the
// sound manager has handed out an id for it, the manager owns the voice: it
// calls Close and deletes it when the sound is freed.
#ifndef SOUND_VOICE_H
#define SOUND_VOICE_H

#include <cstdint>

struct SoundRecord;

enum SoundVoiceKind {
    SoundVoiceMusic = 0,    // streamed Ogg music, plays on a buffer of its own
    SoundVoiceEffect = 1,   // Ogg one-shot on a 3D slot
    SoundVoiceSynth = 2     // synthesised, on a 3D slot
};

class CSoundVoiceBase {
public:
    explicit CSoundVoiceBase(int voiceKind);
    virtual ~CSoundVoiceBase();

    virtual bool IsFinished();                 // not playing
    virtual bool ReleaseWhenFinished();        // the flag
    virtual void Stop();                       // clears playing
    virtual void Update(SoundRecord* record, float seconds);   // refills the ring; nothing here
    virtual int Read(int16_t* samples, int count);             // bytes written; 0 here
    virtual void Close();                      // releases the decoder; nothing here
    virtual bool FadeOut();                    // nothing here

    // The manager writes id and releaseWhenFinished under its lock while it
    // starts the sound; the Sound Thread reads them under the same lock.
    int32_t kind;
    int32_t id;                 // 0 until started
    bool playing;
    bool fading;
    bool releaseWhenFinished;

private:
    CSoundVoiceBase(const CSoundVoiceBase&) = delete;
    CSoundVoiceBase& operator=(const CSoundVoiceBase&) = delete;
};

#endif
