// Reading images from memory without a system decoder: the size of a PNG,
// JPEG, BMP or GIF from its header, and the pixels of an uncompressed BMP.
// The headless build decodes through these; the Windows build uses GDI+.
#ifndef RENDER_IMAGE_DECODE_H
#define RENDER_IMAGE_DECODE_H

#include <cstddef>
#include <cstdint>
#include <vector>

// False when the header is not recognised or is cut short.
bool ReadImageSize(const uint8_t* data, size_t size, int& width, int& height);

// 24- and 32-bit uncompressed BMP to 0xAARRGGBB words, rows from the top.
// False for anything else or a file shorter than its header claims.
bool DecodeBmp(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int& width,
               int& height);

#endif
