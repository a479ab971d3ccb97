#include "tools/datagen/png_writer.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

static void PutBig32(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back((unsigned char)(v >> 24));
  out.push_back((unsigned char)(v >> 16));
  out.push_back((unsigned char)(v >> 8));
  out.push_back((unsigned char)v);
}

static void PutChunk(std::vector<unsigned char>& out, const char* type,
                     const std::vector<unsigned char>& data) {
  PutBig32(out, (uint32_t)data.size());
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, (uInt)(out.size() - start));
  PutBig32(out, (uint32_t)crc);
}

std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba) {
  static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  std::vector<unsigned char> out(signature, signature + 8);

  std::vector<unsigned char> header;
  PutBig32(header, (uint32_t)width);
  PutBig32(header, (uint32_t)height);
  header.push_back(8);  // bits per sample
  header.push_back(6);  // RGBA
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering
  header.push_back(0);  // no interlace
  PutChunk(out, "IHDR", header);

  size_t rowBytes = (size_t)width * 4;
  std::vector<unsigned char> raw;
  raw.reserve((rowBytes + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const unsigned char* row = rgba.data() + rowBytes * y;
    raw.insert(raw.end(), row, row + rowBytes);
  }
  uLongf packedSize = compressBound((uLong)raw.size());
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 9) != Z_OK) return {};
  packed.resize(packedSize);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}
