// A one-shot 3D sound loaded from an Ogg Vorbis file (a weapon's report, a
// key click) and played at positions. Load reads only the file's format and
// length; every PlayAt opens the file again and decodes it on the Sound Thread
// while it plays. Effect files are made as 44100 Hz mono: the 3D slots play
// every effect as one channel at 44100 Hz.
#ifndef SOUND_SOUND_EFFECT_H
#define SOUND_SOUND_EFFECT_H

#include <cstdint>
#include <string>

#include "core/vector.h"
#include "sound/sound_manager.h"

class CSoundEffect {
public:
    CSoundEffect();

    // False without a sound device or when the file cannot be opened or
    // decoded; the effect then stays unloaded and PlayAt does nothing.
    bool Load(const std::string& fileName);

    // Starts the effect at a world position on a free 3D slot. Returns the
    // sound's id, or 0 when nothing was started (not loaded, no device, the
    // "sound" flag off, all slots in use, the file gone).
    int32_t PlayAt(const Vector3& position);

    bool IsLoaded() const { return description.loaded; }
    const std::string& GetName() const { return description.fileName; }
    // The format and PCM byte count the manager reads.
    const SoundDescription& GetDescription() const { return description; }
    // The id of the sound this effect started last, 0 before the first. The
    // sound may have ended since; the manager owns its voice.
    int32_t GetLastSoundId() const { return lastSoundId; }

private:
    SoundDescription description;
    int32_t lastSoundId;
};

#endif
