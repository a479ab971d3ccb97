// A 2D sound streamed from an Ogg Vorbis file through a buffer of its own,
// looping or once: the game's music. Playing again fades the previous track
// out over 2 s while the new one starts at full volume.
#ifndef SOUND_STREAM_SOUND_H
#define SOUND_STREAM_SOUND_H

#include <cstdint>
#include <string>

#include "sound/sound_manager.h"

class CStreamSound {
public:
    CStreamSound();
    // The playing sound is left to the manager: music plays on across states.
    ~CStreamSound();

    // False without a sound device or when the file cannot be opened or decoded.
    bool Load(const std::string& fileName);
    // Fades out the current track and starts the file; the new sound's id, or
    // 0 when nothing was started (the old track still fades).
    int32_t Play(bool loop);
    // Fades out the current track.
    void Stop();

    bool IsLoaded() const { return description.loaded; }
    const std::string& GetName() const { return description.fileName; }
    const SoundDescription& GetDescription() const { return description; }
    // The current track's id, 0 when none. A track played once may have ended
    // and been freed since; only the id is kept, never the voice.
    int32_t GetSoundId() const { return currentId; }

private:
    CStreamSound(const CStreamSound&) = delete;
    CStreamSound& operator=(const CStreamSound&) = delete;

    SoundDescription description;
    int32_t currentId;
};

#endif
