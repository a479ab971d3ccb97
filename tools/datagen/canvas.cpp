#include "tools/datagen/canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/png_writer.h"

Colour Hex(unsigned rgb, float alpha) {
  return Colour(((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f,
                alpha);
}

Colour Mix(Colour a, Colour b, float t) {
  return Colour(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                a.a + (b.a - a.a) * t);
}

Colour Scale(Colour c, float k) { return Colour(c.r * k, c.g * k, c.b * k, c.a); }

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_((size_t)width * height, fill) {}

void Canvas::Blend(int x, int y, Colour c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  Colour& d = pixels_[y * width_ + x];
  float a = c.a * std::min(coverage, 1.0f);
  float outA = a + d.a * (1 - a);
  if (outA <= 0) {
    d = Colour(0, 0, 0, 0);
    return;
  }
  d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
  d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
  d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
  d.a = outA;
}

template <typename Inside>
void Canvas::Cover(int x0, int y0, int x1, int y1, Colour c, Inside inside) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_ - 1);
  y1 = std::min(y1, height_ - 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (inside(x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f)) ++hits;
      if (hits) Blend(x, y, c, hits / 16.0f);
    }
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, Colour c) {
  Cover((int)std::floor(x0), (int)std::floor(y0), (int)std::ceil(x1), (int)std::ceil(y1), c,
        [&](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
}

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float r, Colour c) {
  Cover((int)std::floor(x0), (int)std::floor(y0), (int)std::ceil(x1), (int)std::ceil(y1), c,
        [&](float x, float y) {
          if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
          float cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
          return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        });
}

void Canvas::FillCircle(float cx, float cy, float r, Colour c) { FillEllipse(cx, cy, r, r, c); }

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Colour c) {
  Cover((int)std::floor(cx - rx), (int)std::floor(cy - ry), (int)std::ceil(cx + rx),
        (int)std::ceil(cy + ry), c, [&](float x, float y) {
          float dx = (x - cx) / rx, dy = (y - cy) / ry;
          return dx * dx + dy * dy <= 1.0f;
        });
}

void Canvas::Ring(float cx, float cy, float r, float w, Colour c) {
  float outer = r + w * 0.5f, inner = r - w * 0.5f;
  Cover((int)std::floor(cx - outer), (int)std::floor(cy - outer), (int)std::ceil(cx + outer),
        (int)std::ceil(cy + outer), c, [&](float x, float y) {
          float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
          return d2 <= outer * outer && d2 >= inner * inner;
        });
}

void Canvas::Line(float x0, float y0, float x1, float y1, float w, Colour c) {
  float h = w * 0.5f;
  float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  Cover((int)std::floor(std::min(x0, x1) - h), (int)std::floor(std::min(y0, y1) - h),
        (int)std::ceil(std::max(x0, x1) + h), (int)std::ceil(std::max(y0, y1) + h), c,
        [&](float x, float y) {
          float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
          t = std::clamp(t, 0.0f, 1.0f);
          float px = x0 + dx * t - x, py = y0 + dy * t - y;
          return px * px + py * py <= h * h;
        });
}

void Canvas::FillPolygon(const std::vector<Point>& pts, Colour c) {
  if (pts.size() < 3) return;
  float minX = pts[0].x, maxX = pts[0].x, minY = pts[0].y, maxY = pts[0].y;
  for (const Point& p : pts) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  Cover((int)std::floor(minX), (int)std::floor(minY), (int)std::ceil(maxX), (int)std::ceil(maxY),
        c, [&](float x, float y) {
          bool in = false;
          for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const Point& a = pts[i];
            const Point& b = pts[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
          }
          return in;
        });
}

void Canvas::VerticalGradient(float x0, float y0, float x1, float y1, Colour top, Colour bottom) {
  for (int y = std::max(0, (int)y0); y < std::min(height_, (int)y1); ++y) {
    float t = y1 - y0 > 1 ? (y - y0) / (y1 - y0 - 1) : 0;
    FillRect(x0, (float)y, x1, (float)y + 1, Mix(top, bottom, t));
  }
}

void Canvas::Grain(int x0, int y0, int x1, int y1, float amount, Rng& rng) {
  for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
      Colour& p = pixels_[y * width_ + x];
      float k = 1.0f + rng.Signed() * amount;
      p.r *= k;
      p.g *= k;
      p.b *= k;
    }
}

void Canvas::Blotches(int x0, int y0, int x1, int y1, const std::vector<Colour>& colours,
                      int count, float minRadius, float maxRadius, Rng& rng) {
  for (int i = 0; i < count; ++i) {
    Colour c = colours[rng.Next() % colours.size()];
    float cx = x0 + rng.Unit() * (x1 - x0), cy = y0 + rng.Unit() * (y1 - y0);
    float rx = minRadius + rng.Unit() * (maxRadius - minRadius);
    float ry = minRadius + rng.Unit() * (maxRadius - minRadius);
    // Clip to the area so neighbouring atlas cells stay clean.
    Cover(std::max(x0, (int)(cx - rx)), std::max(y0, (int)(cy - ry)),
          std::min(x1 - 1, (int)(cx + rx) + 1), std::min(y1 - 1, (int)(cy + ry) + 1), c,
          [&](float x, float y) {
            float dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1.0f;
          });
  }
}

std::vector<unsigned char> Canvas::ToRgba() const {
  std::vector<unsigned char> out(pixels_.size() * 4);
  for (size_t i = 0; i < pixels_.size(); ++i) {
    const Colour& c = pixels_[i];
    float v[4] = {c.r, c.g, c.b, c.a};
    for (int k = 0; k < 4; ++k)
      out[i * 4 + k] = (unsigned char)std::lround(std::clamp(v[k], 0.0f, 1.0f) * 255.0f);
    // Opaque pure black is the loaders' colour key (it turns transparent): lift it.
    if (out[i * 4 + 3] == 255 && !out[i * 4] && !out[i * 4 + 1] && !out[i * 4 + 2])
      out[i * 4] = out[i * 4 + 1] = out[i * 4 + 2] = 1;
  }
  return out;
}

std::vector<unsigned char> Canvas::ToPng() const { return EncodePng(width_, height_, ToRgba()); }
