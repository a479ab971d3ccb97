#include "sound/ogg_voice.h"

#include "sound/ring_refill.h"
#include "sound/sound_decoder.h"
#include "sound/sound_manager.h"

COggVoice::COggVoice(CSoundDecoder* decoder) : COggVoice(SoundVoiceEffect, decoder) {
}

COggVoice::COggVoice(int voiceKind, CSoundDecoder* decoder)
    : CSoundVoiceBase(voiceKind), decoder(decoder ? decoder : NewSoundDecoder()) {
    playing = true;
}

COggVoice::~COggVoice() {
    decoder->Close();
    delete decoder;
}

bool COggVoice::Open(const std::string& fileName) {
    return decoder->Open(fileName);
}

bool COggVoice::ReleaseWhenFinished() {
    return true;
}

void COggVoice::Update(SoundRecord* record, float) {
    RefillOggStream(decoder, record, this);
}

void COggVoice::Close() {
    decoder->Close();
}

COggMusicVoice::COggMusicVoice(CSoundDecoder* decoder)
    : COggVoice(SoundVoiceMusic, decoder),
      fadeDuration(0.0f),
      firstFillVolume(0),
      currentVolume(0.0f),
      elapsed(0.0f),
      startVolume(0.0f),
      targetVolume(-3000.0f),
      delta(0.0f),
      duration(0.0f) {
}

bool COggMusicVoice::IsFinished() {
    if (fading && elapsed >= duration) {
        playing = false;
        fading = false;
    }
    return !playing;
}

bool COggMusicVoice::ReleaseWhenFinished() {
    return releaseWhenFinished;
}

void COggMusicVoice::Update(SoundRecord* record, float seconds) {
    if (record->firstFillPending) {
        int32_t volume = 0;
        if (!SoundFailed(SoundBufferGetVolume(record->buffer, &volume))) {
            firstFillVolume = volume;
            currentVolume = (float)volume;
        }
    }
    RefillOggStream(decoder, record, this);
    if (fading) {
        elapsed += seconds;
        currentVolume = elapsed >= duration ? targetVolume : startVolume + delta * elapsed / duration;
        SoundBufferSetVolume(record->buffer, (int32_t)currentVolume);
    }
}

bool COggMusicVoice::FadeOut() {
    fadeDuration = 2.0f;
    duration = 2.0f;
    startVolume = (float)firstFillVolume;
    currentVolume = startVolume;
    targetVolume = -3000.0f;
    delta = targetVolume - startVolume;
    elapsed = 0.0f;
    fading = true;
    releaseWhenFinished = true;
    return true;
}
