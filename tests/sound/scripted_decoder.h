// A decoder that plays back a numbered byte sequence instead of an Ogg file,
// with scripted failures, for the voices and the ring refill.
#ifndef TESTS_SOUND_SCRIPTED_DECODER_H
#define TESTS_SOUND_SCRIPTED_DECODER_H

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_decoder.h"

// Byte i of every scripted sound: never zero, so silence is told apart.
inline uint8_t SourceByte(uint64_t i) {
    return (uint8_t)(1 + (i * 7 + i / 251) % 255);
}

struct DecoderScript {
    int channels = 1;
    long rate = 44100;
    int64_t totalBytes = 60000;
    int chunk = 4096;             // at most this much per read, as a decoder hands out packets
    int64_t failAt = -1;          // from this source position on, reads give `failure`
    long failure = SoundDecodeError;
    int failures = -1;            // how many failing reads before it recovers; -1 never
    bool failOpen = false;
};

extern DecoderScript scriptForNewDecoders;   // what NewSoundDecoder hands out under the maker
extern std::atomic<int> scriptedLive;        // scripted decoders not yet deleted

class ScriptedDecoder : public CSoundDecoder {
public:
    explicit ScriptedDecoder(const DecoderScript& script) : script(script) { scriptedLive++; }
    ~ScriptedDecoder() override { scriptedLive--; }

    bool Open(const std::string& fileName) override {
        opened = !script.failOpen && fileName.find("missing") == std::string::npos;
        return opened;
    }
    bool GetInfo(SoundStreamInfo* info) override {
        info->channels = script.channels;
        info->rate = script.rate;
        info->totalSamples = script.totalBytes / (2 * script.channels);
        return opened;
    }
    long Read(char* to, int bytes) override {
        reads++;
        if (!opened || bytes <= 0) {
            return SoundDecodeError;
        }
        if (script.failAt >= 0 && position >= script.failAt && script.failures != 0) {
            if (script.failures > 0) {
                script.failures--;
            }
            return script.failure;
        }
        int64_t n = std::min<int64_t>({(int64_t)bytes, (int64_t)script.chunk, script.totalBytes - position});
        if (script.failAt > position) {
            n = std::min(n, script.failAt - position);   // fail exactly there
        }
        for (int64_t i = 0; i < n; i++) {
            to[i] = (char)SourceByte(position + i);
        }
        position += n;
        return (long)n;
    }
    bool Seek(int64_t frame) override {
        seeks++;
        position = frame * 2 * script.channels;
        return opened;
    }
    void Close() override { opened = false; }

    DecoderScript script;
    bool opened = false;
    int64_t position = 0;
    int reads = 0;
    int seeks = 0;
};

inline CSoundDecoder* MakeScriptedDecoder() {
    return new ScriptedDecoder(scriptForNewDecoders);
}

// Expected bytes of the source from position `from`, `count` long.
inline std::vector<uint8_t> SourceBytes(uint64_t from, size_t count) {
    std::vector<uint8_t> v(count);
    for (size_t i = 0; i < count; i++) {
        v[i] = SourceByte(from + i);
    }
    return v;
}

#endif
