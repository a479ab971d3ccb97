#include "render/normal_map.h"

#include <cmath>

static float HeightAt(const uint32_t* heights, int width, int height, int x, int y) {
    x = (x % width + width) % width;
    y = (y % height + height) % height;
    return float((heights[y * width + x] >> 16) & 0xFF) / 255.0f;
}

static uint32_t ToByte(float v) {
    float b = (v * 0.5f + 0.5f) * 255.0f + 0.5f;
    return b <= 0.0f ? 0u : b >= 255.0f ? 255u : uint32_t(b);
}

void ComputeNormalMap(const uint32_t* heights, int width, int height, float amplitude, uint32_t* out) {
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            float dx = (HeightAt(heights, width, height, x + 1, y) - HeightAt(heights, width, height, x - 1, y)) *
                       0.5f * amplitude;
            float dy = (HeightAt(heights, width, height, x, y + 1) - HeightAt(heights, width, height, x, y - 1)) *
                       0.5f * amplitude;
            float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            float nx = -dx / length, ny = -dy / length, nz = 1.0f / length;
            out[y * width + x] = 0xFF000000u | ToByte(nx) << 16 | ToByte(ny) << 8 | ToByte(nz);
        }
    }
}
