// The decoder seam: what the voices need from an Ogg Vorbis decoder, so tests
// can feed scripted PCM and errors. COggDecoder (sound/ogg_decoder.cpp) is the
// libvorbisfile one; NewSoundDecoder hands out whatever the game or a test
// asked for.
#ifndef SOUND_SOUND_DECODER_H
#define SOUND_SOUND_DECODER_H

#include <cstdint>
#include <string>

// Read results below zero, libvorbisfile's codes.
const long SoundDecodeHole = -3;       // a gap in damaged data; reading may go on
const long SoundDecodeError = -1;      // anything else: reading is over

// A file may hold several streams one after the other (chained). The sound's
// buffer has one format, so only the leading streams in the first one's rate
// and channels play; the decoder ends where another format begins.
struct SoundStreamInfo {
    int channels = 0;
    long rate = 0;
    int64_t totalSamples = 0;          // per channel, of the streams that play
    int streams = 1;                   // in the file
    int playedStreams = 1;             // the leading ones in the first one's format
};

class CSoundDecoder {
public:
    virtual ~CSoundDecoder() {}
    // False when the file cannot be opened or is no Ogg Vorbis stream.
    virtual bool Open(const std::string& fileName) = 0;
    virtual bool GetInfo(SoundStreamInfo* info) = 0;
    // Up to `bytes` of 16-bit signed little-endian PCM: the count written,
    // 0 at the end of the played streams, below zero on an error.
    virtual long Read(char* destination, int bytes) = 0;
    // Moves to a sample frame; false on failure.
    virtual bool Seek(int64_t frame) = 0;
    // Releases the decoder and its file; safe on any state.
    virtual void Close() = 0;
};

// The libvorbisfile decoder.
class COggDecoder : public CSoundDecoder {
public:
    COggDecoder();
    ~COggDecoder() override;
    bool Open(const std::string& fileName) override;
    bool GetInfo(SoundStreamInfo* info) override;
    long Read(char* destination, int bytes) override;
    bool Seek(int64_t frame) override;
    void Close() override;

private:
    COggDecoder(const COggDecoder&) = delete;
    COggDecoder& operator=(const COggDecoder&) = delete;

    struct State;
    State* state;   // null while closed
};

// A new, unopened decoder: COggDecoder unless a test installed a maker.
CSoundDecoder* NewSoundDecoder();
typedef CSoundDecoder* (*SoundDecoderMaker)();
// Test seam; null restores the Ogg decoder.
void SetSoundDecoderMaker(SoundDecoderMaker maker);

#endif
