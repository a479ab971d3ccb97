// Image headers and uncompressed BMP files over any bytes: a size in range or
// a refusal, and never a read past the end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/image.h"
#include "render/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int w = 0, h = 0;
    if (ReadImageSize(data, size, w, h) && (w <= 0 || h <= 0 || w > MAX_IMAGE_SIDE || h > MAX_IMAGE_SIDE))
        __builtin_trap();
    std::vector<uint32_t> pixels;
    if (DecodeBmp(data, size, pixels, w, h) && pixels.size() != size_t(w) * size_t(h))
        __builtin_trap();
    return 0;
}
