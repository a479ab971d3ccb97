#include "sound/voice.h"

CSoundVoiceBase::CSoundVoiceBase(int voiceKind)
    : kind(voiceKind), id(0), playing(false), fading(false), releaseWhenFinished(false) {
}

CSoundVoiceBase::~CSoundVoiceBase() {
}

bool CSoundVoiceBase::IsFinished() {
    return !playing;
}

bool CSoundVoiceBase::ReleaseWhenFinished() {
    return releaseWhenFinished;
}

void CSoundVoiceBase::Stop() {
    playing = false;
}

void CSoundVoiceBase::Update(SoundRecord*, float) {
}

int CSoundVoiceBase::Read(int16_t*, int) {
    return 0;
}

void CSoundVoiceBase::Close() {
}

bool CSoundVoiceBase::FadeOut() {
    return false;
}
