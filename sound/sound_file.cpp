#include "sound/sound_file.h"

#include <cstdint>
#include <memory>

#include "core/error.h"
#include "sound/sound_decoder.h"

bool ReadSoundFile(const std::string& fileName, bool asMono, SoundDescription* description) {
    std::unique_ptr<CSoundDecoder> decoder(NewSoundDecoder());
    SoundStreamInfo info;
    if (!decoder->Open(fileName) || !decoder->GetInfo(&info)) {
        return false;
    }
    int channels = asMono ? 1 : info.channels;
    // Ring offsets and counts are 32-bit; DirectSound takes at most 8 channels.
    if (channels > 8 || info.rate > 192000 || info.totalSamples > INT32_MAX) {
        return false;
    }
    int64_t pcmBytes = info.totalSamples * channels * 2;
    if (pcmBytes > INT32_MAX) {
        return false;
    }
    SoundWaveFormat& f = description->waveFormat;
    f.formatTag = SoundFormatPcm;
    f.channels = (uint16_t)channels;
    f.samplesPerSec = (uint32_t)info.rate;
    f.blockAlign = (uint16_t)(channels * 2);
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    f.bitsPerSample = 16;
    description->pcmBytes = (uint32_t)pcmBytes;
    description->fileName = fileName;
    if (info.playedStreams < info.streams) {
        ReportError("Error", "ReadSoundFile()-" + fileName + ": chained stream " +
                                 std::to_string(info.playedStreams + 1) + " of " + std::to_string(info.streams) +
                                 " differs from the first (" + std::to_string(info.rate) + " Hz, " +
                                 std::to_string(info.channels) + " channels); the sound ends before it");
    }
    return true;
}
