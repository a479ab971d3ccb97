#include "sound/sound_decoder.h"

// Only our own callbacks are used; the header's static sets would be unused.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/files.h"

// The file goes through our own callbacks rather than ov_open: the FILE* then
// never crosses into a library built against another C runtime, and the file
// is closed by us on every path (ov_open leaves it open when it fails).
struct COggDecoder::State {
    FILE* file = nullptr;
    OggVorbis_File vorbis;
    bool opened = false;   // vorbis holds a stream that ov_clear must release
    int playedLinks = 1;   // leading chained streams in the first one's format
    bool ended = false;    // reading met a link past them; a seek starts over
};

namespace {

size_t ReadCallback(void* to, size_t size, size_t count, void* source) {
    return fread(to, size, count, (FILE*)source);
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    return fseek((FILE*)source, (long)offset, whence);
}

long TellCallback(void* source) {
    return ftell((FILE*)source);
}

std::atomic<SoundDecoderMaker> decoderMaker(nullptr);

// The leading links whose rate and channels are the first link's: decoded
// into a buffer made for the first, any other would play at the wrong pitch.
int CountPlayedLinks(OggVorbis_File* vorbis) {
    vorbis_info* first = ov_info(vorbis, 0);
    long links = ov_streams(vorbis);
    int played = 1;
    while (first && played < links) {
        vorbis_info* vi = ov_info(vorbis, played);
        if (!vi || vi->rate != first->rate || vi->channels != first->channels) {
            break;
        }
        played++;
    }
    return played;
}

}  // namespace

COggDecoder::COggDecoder() : state(nullptr) {
}

COggDecoder::~COggDecoder() {
    Close();
}

bool COggDecoder::Open(const std::string& fileName) {
    Close();
    FILE* file = OpenFile(fileName, "rb");
    if (!file) {
        return false;
    }
    state = new State;
    memset(&state->vorbis, 0, sizeof(state->vorbis));
    state->file = file;
    // No close callback: Close closes the file itself.
    ov_callbacks callbacks = {ReadCallback, SeekCallback, nullptr, TellCallback};
    if (ov_open_callbacks(file, &state->vorbis, nullptr, 0, callbacks) != 0) {
        Close();
        return false;
    }
    state->opened = true;
    state->playedLinks = CountPlayedLinks(&state->vorbis);
    // Opening a chain leaves libvorbisfile past a first link whose sound fits
    // one page; a seek to the start reads that link too.
    if (ov_streams(&state->vorbis) > 1) {
        ov_pcm_seek(&state->vorbis, 0);
    }
    return true;
}

bool COggDecoder::GetInfo(SoundStreamInfo* info) {
    if (!state || !state->opened) {
        return false;
    }
    vorbis_info* vi = ov_info(&state->vorbis, 0);
    if (!vi || vi->channels < 1 || vi->rate < 1) {
        return false;
    }
    ogg_int64_t total = 0;
    for (int link = 0; link < state->playedLinks; link++) {
        ogg_int64_t samples = ov_pcm_total(&state->vorbis, link);
        if (samples < 0 || samples > INT64_MAX - total) {   // damaged granule positions
            return false;
        }
        total += samples;
    }
    info->channels = vi->channels;
    info->rate = vi->rate;
    info->totalSamples = total;
    info->streams = (int)ov_streams(&state->vorbis);
    info->playedStreams = state->playedLinks;
    return true;
}

long COggDecoder::Read(char* destination, int bytes) {
    if (!state || !state->opened) {
        return SoundDecodeError;
    }
    if (state->ended) {
        return 0;
    }
    int section = 0;
    long n = ov_read(&state->vorbis, destination, bytes, 0, 2, 1, &section);
    if (n == OV_HOLE) {
        return SoundDecodeHole;
    }
    if (n < 0 || n > bytes) {
        return SoundDecodeError;
    }
    // Every read holds samples of one link only; the first of another format
    // is dropped and ends the sound.
    if (n > 0 && section >= state->playedLinks) {
        state->ended = true;
        return 0;
    }
    return n;
}

bool COggDecoder::Seek(int64_t frame) {
    if (!state || !state->opened || ov_pcm_seek(&state->vorbis, frame) != 0) {
        return false;
    }
    state->ended = false;
    return true;
}

void COggDecoder::Close() {
    if (!state) {
        return;
    }
    if (state->opened) {
        ov_clear(&state->vorbis);
    }
    if (state->file) {
        fclose(state->file);
    }
    delete state;
    state = nullptr;
}

CSoundDecoder* NewSoundDecoder() {
    SoundDecoderMaker maker = decoderMaker.load();
    return maker ? maker() : new COggDecoder();
}

void SetSoundDecoderMaker(SoundDecoderMaker maker) {
    decoderMaker.store(maker);
}
