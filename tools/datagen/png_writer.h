#ifndef DATAGEN_PNG_WRITER_H
#define DATAGEN_PNG_WRITER_H

#include <vector>

// An 8-bit RGBA PNG (colour type 6, no interlace) of width x height pixels given
// as R, G, B, A bytes, rows from the top. Rows use filter 0 and the image data is
// compressed with zlib at a fixed level, so equal pixels give equal files.
std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba);

#endif
