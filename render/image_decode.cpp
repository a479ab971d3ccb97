#include "render/image_decode.h"

#include <algorithm>

#include "render/image.h"

static uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

static uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

static int LittleEndian16(const uint8_t* p) { return p[0] | (p[1] << 8); }

static bool SizeInRange(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= MAX_IMAGE_SIDE && h <= MAX_IMAGE_SIDE;
}

static bool ReadJpegSize(const uint8_t* data, size_t size, int& width, int& height) {
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            return false;
        uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {   // fill byte
            pos++;
            continue;
        }
        size_t length = (size_t(data[pos + 2]) << 8) | data[pos + 3];
        if (length < 2)
            return false;
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                     marker != 0xCC;
        if (frame) {
            if (pos + 9 > size)
                return false;
            height = (data[pos + 5] << 8) | data[pos + 6];
            width = (data[pos + 7] << 8) | data[pos + 8];
            return true;
        }
        pos += 2 + length;
    }
    return false;
}

bool ReadImageSize(const uint8_t* data, size_t size, int& width, int& height) {
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    int64_t w = 0, h = 0;
    width = height = 0;
    if (size >= 24 && std::equal(png, png + 8, data) && std::equal(data + 12, data + 16, "IHDR")) {
        w = BigEndian32(data + 16);
        h = BigEndian32(data + 20);
    } else if (size >= 26 && data[0] == 'B' && data[1] == 'M') {
        uint32_t header = LittleEndian32(data + 14);
        if (header == 12) {
            w = LittleEndian16(data + 18);
            h = LittleEndian16(data + 20);
        } else {
            w = int32_t(LittleEndian32(data + 18));
            h = int32_t(LittleEndian32(data + 22));
            if (h < 0)
                h = -h;
        }
    } else if (size >= 10 && std::equal(data, data + 4, "GIF8")) {
        w = LittleEndian16(data + 6);
        h = LittleEndian16(data + 8);
    } else if (size >= 4 && data[0] == 0xFF && data[1] == 0xD8) {
        int jw = 0, jh = 0;
        if (!ReadJpegSize(data, size, jw, jh))
            return false;
        w = jw;
        h = jh;
    } else {
        return false;
    }
    if (!SizeInRange(w, h))
        return false;
    width = int(w);
    height = int(h);
    return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int& width,
               int& height) {
    pixels.clear();
    width = height = 0;
    if (size < 54 || data[0] != 'B' || data[1] != 'M')
        return false;
    uint32_t offset = LittleEndian32(data + 10);
    uint32_t header = LittleEndian32(data + 14);
    if (header < 40 || 14 + size_t(header) > size)
        return false;
    int64_t w = int32_t(LittleEndian32(data + 18));
    int64_t h = int32_t(LittleEndian32(data + 22));
    int bits = LittleEndian16(data + 28);
    uint32_t compression = LittleEndian32(data + 30);
    bool topDown = h < 0;
    if (topDown)
        h = -h;
    if (!SizeInRange(w, h) || (bits != 24 && bits != 32))
        return false;
    // BI_RGB, or BI_BITFIELDS with the usual 8-bit masks.
    if (compression != 0 && !(compression == 3 && bits == 32))
        return false;
    // The header's masks follow its first 40 bytes: red, green, blue, then
    // (from the 56-byte header on) alpha at offset 66.
    bool hasAlpha = compression == 3 && header >= 56 && LittleEndian32(data + 66) == 0xFF000000u;

    size_t stride = ((size_t(w) * size_t(bits) + 31) / 32) * 4;
    if (offset > size || size_t(h) * stride > size - offset)
        return false;
    pixels.resize(size_t(w) * size_t(h));
    for (int64_t row = 0; row < h; row++) {
        const uint8_t* src = data + offset + size_t(topDown ? row : h - 1 - row) * stride;
        uint32_t* dst = &pixels[size_t(row) * size_t(w)];
        for (int64_t x = 0; x < w; x++) {
            const uint8_t* p = src + size_t(x) * size_t(bits / 8);
            uint32_t alpha = (bits == 32 && hasAlpha) ? p[3] : 0xFF;
            dst[x] = (alpha << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
    }
    width = int(w);
    height = int(h);
    return true;
}
