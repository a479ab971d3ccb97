#ifndef DATAGEN_OGG_WRITER_H
#define DATAGEN_OGG_WRITER_H

#include <cstdint>
#include <vector>

// Ogg Vorbis through libvorbisenc at a variable bit rate of the given quality
// (-0.1 .. 1.0). 'samples' holds frames of 'channels' interleaved floats in
// -1..1. The stream serial number is fixed, so equal input gives equal bytes.
std::vector<unsigned char> EncodeVorbis(const std::vector<float>& samples, int channels, int rate,
                                        float quality, uint32_t serial);

#endif
