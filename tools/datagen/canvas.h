#ifndef DATAGEN_CANVAS_H
#define DATAGEN_CANVAS_H

#include <vector>

#include "tools/datagen/rng.h"

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;
  Colour() = default;
  Colour(float ar, float ag, float ab, float aa = 1.0f) : r(ar), g(ag), b(ab), a(aa) {}
};

// 0xRRGGBB with an alpha.
Colour Hex(unsigned rgb, float alpha = 1.0f);
Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float brightness);

struct Point {
  float x, y;
};

// An RGBA picture painted in floats; shapes are antialiased by coverage.
// Coordinates are pixels, (0, 0) the top-left corner of the top-left pixel.
class Canvas {
 public:
  Canvas(int width, int height, Colour fill = Colour(0, 0, 0, 0));

  int Width() const { return width_; }
  int Height() const { return height_; }
  Colour Get(int x, int y) const { return pixels_[y * width_ + x]; }
  void Set(int x, int y, Colour c) { pixels_[y * width_ + x] = c; }
  // Paints c over the pixel with the given coverage (0..1), alpha-blended.
  void Blend(int x, int y, Colour c, float coverage);

  void FillRect(float x0, float y0, float x1, float y1, Colour c);
  void FillRoundRect(float x0, float y0, float x1, float y1, float radius, Colour c);
  void FillCircle(float cx, float cy, float radius, Colour c);
  void FillEllipse(float cx, float cy, float rx, float ry, Colour c);
  void Ring(float cx, float cy, float radius, float width, Colour c);
  void Line(float x0, float y0, float x1, float y1, float width, Colour c);
  void FillPolygon(const std::vector<Point>& points, Colour c);
  void VerticalGradient(float x0, float y0, float x1, float y1, Colour top, Colour bottom);
  // Multiplies the colour of the area by 1 +- amount, per pixel.
  void Grain(int x0, int y0, int x1, int y1, float amount, Rng& rng);
  // Blobs of the given colours over the area (camouflage, rust, dirt).
  void Blotches(int x0, int y0, int x1, int y1, const std::vector<Colour>& colours, int count,
                float minRadius, float maxRadius, Rng& rng);

  std::vector<unsigned char> ToRgba() const;
  std::vector<unsigned char> ToPng() const;

 private:
  // Coverage of a pixel by a shape given as an inside test, 4x4 samples.
  template <typename Inside>
  void Cover(int x0, int y0, int x1, int y1, Colour c, Inside inside);

  int width_, height_;
  std::vector<Colour> pixels_;
};

#endif
