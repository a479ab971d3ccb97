// A decoded image: 32-bit ARGB words (0xAARRGGBB, which is B, G, R, A bytes in
// memory), rows from the top, no padding. Decoded with GDI+ on Windows.
#ifndef RENDER_IMAGE_H
#define RENDER_IMAGE_H

#include <cstdint>
#include <string>

class CImage {
public:
    CImage();
    ~CImage();

    // Frees the old pixels first. False (and no pixels) when the file is
    // missing, cannot be decoded or is too large.
    bool LoadFromFile(const std::string& fileName);
    void Free();
    void CopyFrom(const CImage& other);

    const uint32_t* GetPixels() const { return pixels; }
    uint32_t* GetPixels() { return pixels; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetReserved() const { return reserved; }

private:
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    uint32_t* pixels;
    int32_t width;
    int32_t height;
    int32_t reserved;
};

// Largest side accepted by the decoder; keeps width x height words in range.
const int MAX_IMAGE_SIDE = 8192;

void StartupGdiplus();
void ShutdownGdiplus();

#endif
