// Reading an Ogg Vorbis file's format and length into a sound description.
#ifndef SOUND_SOUND_FILE_H
#define SOUND_SOUND_FILE_H

#include <string>

#include "sound/sound_manager.h"

// Opens the file through a new decoder and fills the wave format and PCM byte
// count: one channel whatever the file holds when asMono (3D effects), else
// the file's channels. False, with the description untouched, when the file
// cannot be opened or decoded or is too long to count in 32 bits. A file of
// chained streams counts those that play; one of another format is reported.
bool ReadSoundFile(const std::string& fileName, bool asMono, SoundDescription* description);

#endif
