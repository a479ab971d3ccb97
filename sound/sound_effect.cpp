#include "sound/sound_effect.h"

#include "core/error.h"
#include "sound/ogg_voice.h"
#include "sound/sound_file.h"

CSoundEffect::CSoundEffect() : lastSoundId(0) {
}

bool CSoundEffect::Load(const std::string& fileName) {
    if (!SoundManager::IsAvailable()) {
        return false;
    }
    SoundDescription d;
    if (!ReadSoundFile(fileName, true, &d)) {
        ReportError("Error", "CSoundEffect::Load()-Unable to read sound file " + fileName);
        return false;
    }
    // Kept for completeness: the manager plays effects on its own 3D slots
    // and reads only the format and the byte count.
    d.bufferDesc.flags = SoundCapsCtrl3D | SoundCapsCtrlFrequency | SoundCapsCtrlVolume | SoundCapsGlobalFocus |
                         SoundCapsGetCurrentPosition2;
    d.bufferDesc.bufferBytes = SoundRingBytes;
    d.bufferDesc.format = d.waveFormat;
    d.bufferDesc.algorithm = Sound3DAlgorithmHrtfLight;
    d.params3D = Sound3DParams();
    d.params3D.insideConeAngle = 360;
    d.params3D.outsideConeAngle = 360;
    d.params3D.maxDistance = 1e9f;
    d.loaded = true;
    description = d;
    return true;
}

int32_t CSoundEffect::PlayAt(const Vector3& position) {
    // Muted: no file is opened for a shot nobody hears.
    if (!description.loaded || !SoundManager::IsAvailable() || !SoundManager::IsSoundEnabled()) {
        return 0;
    }
    COggVoice* voice = new COggVoice();
    if (!voice->Open(description.fileName)) {
        // The file went away after Load: a voice without a decoder is never started.
        ReportError("Error", "CSoundEffect::PlayAt()-Unable to open sound file " + description.fileName);
        delete voice;
        return 0;
    }
    int32_t id = SoundManager::StartSound3D(position, voice, description);
    if (id == 0) {
        voice->Close();
        delete voice;
        return 0;
    }
    // The manager owns the voice now and may free it at any time.
    lastSoundId = id;
    return id;
}
