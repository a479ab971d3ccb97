#include "sound/stream_sound.h"

#include "core/error.h"
#include "sound/ogg_voice.h"
#include "sound/sound_file.h"

CStreamSound::CStreamSound() : currentId(0) {
}

CStreamSound::~CStreamSound() {
}

bool CStreamSound::Load(const std::string& fileName) {
    if (!SoundManager::IsAvailable()) {
        return false;
    }
    SoundDescription d;
    if (!ReadSoundFile(fileName, false, &d)) {
        ReportError("Error", "CStreamSound::Load()-Unable to read sound file " + fileName);
        return false;
    }
    d.bufferDesc.flags = SoundCapsCtrlFrequency | SoundCapsCtrlVolume | SoundCapsGlobalFocus |
                         SoundCapsGetCurrentPosition2;
    d.bufferDesc.bufferBytes = SoundRingBytes;
    d.bufferDesc.format = d.waveFormat;
    d.bufferDesc.algorithm = Sound3DAlgorithmNone;
    d.loaded = true;
    description = d;
    return true;
}

int32_t CStreamSound::Play(bool loop) {
    if (!description.loaded) {
        return 0;
    }
    Stop();
    COggMusicVoice* voice = new COggMusicVoice();
    if (!voice->Open(description.fileName)) {
        ReportError("Error", "CStreamSound::Play()-Unable to open sound file " + description.fileName);
        delete voice;
        return 0;
    }
    // The manager sets release-when-finished for a track played once.
    currentId = SoundManager::StartSound(voice, description, loop, 0, 0);
    if (currentId == 0) {
        voice->Close();
        delete voice;
    }
    return currentId;
}

void CStreamSound::Stop() {
    if (currentId != 0) {
        SoundManager::FadeOutSound(currentId);
        currentId = 0;
    }
}
