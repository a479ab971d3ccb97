// The particle system's images on black (the game keys black out and blends
// them additively), and the explosion sphere's mesh.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/png_writer.h"

namespace {

const float Pi = 3.14159265f;

// brightness(dx, dy) in 0..1 (dx, dy from the centre, in half sizes) times colour.
template <typename Shape>
Canvas Glow(int size, Colour colour, Shape brightness) {
  Canvas img(size, size, Colour(0, 0, 0, 1));
  float h = size * 0.5f;
  for (int y = 0; y < size; y++) {
    for (int x = 0; x < size; x++) {
      float b = std::min(std::max(brightness((x + 0.5f - h) / h, (y + 0.5f - h) / h), 0.0f), 1.0f);
      img.Set(x, y, Colour(colour.r * b, colour.g * b, colour.b * b, 1));
    }
  }
  return img;
}

// The black background is kept black, so the game's colour key clears it
// (the canvas lifts opaque black to keep other images solid).
std::vector<unsigned char> KeyedPng(const Canvas& img) {
  std::vector<unsigned char> rgba = img.ToRgba();
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    if (rgba[i] <= 1 && rgba[i + 1] <= 1 && rgba[i + 2] <= 1)
      rgba[i] = rgba[i + 1] = rgba[i + 2] = 0;
  }
  return EncodePng(img.Width(), img.Height(), rgba);
}

float Falloff(float r) {
  float t = std::max(1.0f - r, 0.0f);
  return t * t;
}

// A flash: a bright core and a few rays.
Canvas Flash(int rays, float twist) {
  return Glow(64, Colour(1.0f, 0.85f, 0.5f), [=](float dx, float dy) {
    float r = std::sqrt(dx * dx + dy * dy);
    float a = std::atan2(dy, dx) + twist;
    float ray = std::pow(std::fabs(std::cos(a * rays * 0.5f)), 12.0f) * Falloff(r);
    return Falloff(r * 2.2f) * 1.2f + ray;
  });
}

}  // namespace

void WriteParticleImages(OutputFolder& out) {
  const std::string folder = "particles\\";
  out.Write(folder + "flame.png", KeyedPng(Glow(64, Colour(1.0f, 0.6f, 0.2f), [](float dx, float dy) {
              // Round, a little taller than wide, hottest low down.
              float r = std::sqrt(dx * dx + dy * dy * 0.8f);
              return Falloff(r) * 1.4f - std::max(0.0f, -dy) * 0.2f;
            })));
  out.Write(folder + "streak.png", KeyedPng(Glow(64, Colour(0.8f, 0.9f, 1.0f), [](float dx, float dy) {
              // Long along u, thin across v.
              return Falloff(std::sqrt(dx * dx * 0.2f + dy * dy * 6.0f)) * 1.5f;
            })));
  out.Write(folder + "rifle_stream.png", KeyedPng(Flash(4, 0.0f)));
  out.Write(folder + "rifle_stream2.png", KeyedPng(Flash(6, 0.5235988f)));

  MbmModel sphere;
  sphere.AddMesh("sphere", "sphere.png").Ellipsoid(Vec3(), Vec3(1, 1, 1), 10, 16, UvRect());
  sphere.AddBone("sphere", "", Vec3(), "sphere");
  out.Write(folder + "sphere.mbm", sphere.Text());
  out.Write(folder + "sphere.png", Canvas(8, 8, Colour(1, 1, 1, 1)).ToPng());
}
