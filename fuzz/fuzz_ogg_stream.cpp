// Any file bytes as an Ogg sound, chained streams of several formats among
// them: reading its format and streaming it through the ring writers never
// reads or writes outside the ring, never loops for ever, and leaves every
// sample it could not decode at zero.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "sound/native/sound_stand_in.h"
#include "sound/ring_refill.h"
#include "sound/sound_decoder.h"
#include "sound/sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "fuzz_ogg_stream_" + std::to_string((long)getpid()) + ".ogg";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        return 0;
    }
    fwrite(data, 1, size, f);
    fclose(f);

    SoundDescription description;
    bool read = ReadSoundFile(path, false, &description);
    COggDecoder decoder;
    bool opened = decoder.Open(path);
    std::remove(path.c_str());   // the open file stays readable; nothing is left behind
    if (read && !opened) {
        __builtin_trap();   // the same bytes opened once and not again
    }
    SoundStreamInfo info;
    if (opened && decoder.GetInfo(&info) && (info.playedStreams < 1 || info.playedStreams > info.streams)) {
        __builtin_trap();   // the streams played are a leading run of those in the file
    }
    SoundBufferObject ring;
    ring.data.assign(SoundRingBytes, 0xEE);
    // Two halves, then back to the start as a loop would, and a half more.
    WriteOggSamples(SoundRingHalf, &decoder, &ring, 0);
    WriteOggSamples(SoundRingHalf, &decoder, &ring, SoundRingHalf);
    decoder.Seek(0);
    WriteOggSamples(SoundRingHalf, &decoder, &ring, 70000);
    if (ring.locks != 0 || ring.data.size() != SoundRingBytes) {
        __builtin_trap();
    }
    if (!opened) {
        for (uint8_t b : ring.data) {
            if (b != 0) {
                __builtin_trap();   // nothing decoded: the ring holds silence, not old bytes
            }
        }
    }
    return 0;
}
