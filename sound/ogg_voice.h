// The voices that decode an Ogg Vorbis file into a sound's ring: COggVoice for
// one-shot 3D effects, COggMusicVoice for streamed music with its fade-out.
// Each owns its decoder (NewSoundDecoder unless one is handed in).
#ifndef SOUND_OGG_VOICE_H
#define SOUND_OGG_VOICE_H

#include <cstdint>
#include <string>

#include "sound/voice.h"

class CSoundDecoder;

class COggVoice : public CSoundVoiceBase {
public:
    explicit COggVoice(CSoundDecoder* decoder = nullptr);
    ~COggVoice() override;

    // False when the file cannot be opened or decoded.
    bool Open(const std::string& fileName);

    bool ReleaseWhenFinished() override;   // always: an effect is freed when it ends
    void Update(SoundRecord* record, float seconds) override;
    void Close() override;

protected:
    COggVoice(int voiceKind, CSoundDecoder* decoder);

    CSoundDecoder* decoder;   // owned
};

class COggMusicVoice : public COggVoice {
public:
    explicit COggMusicVoice(CSoundDecoder* decoder = nullptr);

    bool IsFinished() override;
    bool ReleaseWhenFinished() override;   // once played or faded out
    void Update(SoundRecord* record, float seconds) override;
    // Fades from the volume at the first fill to -3000 over 2 s; the manager
    // frees the sound in the round the fade ends.
    bool FadeOut() override;

    float GetCurrentVolume() const { return currentVolume; }

private:
    float fadeDuration;
    int32_t firstFillVolume;   // hundredths of a dB, read from the buffer
    float currentVolume;
    float elapsed;
    float startVolume;
    float targetVolume;
    float delta;
    float duration;
};

#endif
