#include "tools/datagen/mesh_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const int Supersample = 4;

Colour Texel(const Canvas& atlas, float u, float v) {
  int x = std::clamp((int)(u * atlas.Width()), 0, atlas.Width() - 1);
  int y = std::clamp((int)(v * atlas.Height()), 0, atlas.Height() - 1);
  return atlas.Get(x, y);
}

}  // namespace

void DrawMeshSideView(const MeshBuilder& mesh, const Canvas& atlas, Canvas& picture, float margin) {
  const std::vector<FaceVertex>& verts = mesh.Vertices();
  const std::vector<int>& idx = mesh.Indices();
  if (verts.empty()) return;
  float minX = verts[0].p.x, maxX = minX, minZ = verts[0].p.z, maxZ = minZ;
  for (const FaceVertex& v : verts) {
    minX = std::min(minX, v.p.x);
    maxX = std::max(maxX, v.p.x);
    minZ = std::min(minZ, v.p.z);
    maxZ = std::max(maxZ, v.p.z);
  }
  int w = picture.Width() * Supersample, h = picture.Height() * Supersample;
  float m = margin * Supersample;
  float scale = std::min((w - 2 * m) / (maxX - minX), (h - 2 * m) / (maxZ - minZ));
  float offX = (w - (maxX - minX) * scale) * 0.5f, offY = (h - (maxZ - minZ) * scale) * 0.5f;
  auto toScreen = [&](Vec3 p, float& sx, float& sy) {
    sx = offX + (p.x - minX) * scale;
    sy = offY + (maxZ - p.z) * scale;
  };

  std::vector<Colour> colour((size_t)w * h, Colour(0, 0, 0, 0));
  std::vector<float> depth((size_t)w * h, -std::numeric_limits<float>::max());
  const Vec3 light = Normalize(Vec3(-0.4f, 0.7f, 0.6f));
  for (size_t t = 0; t + 2 < idx.size(); t += 3) {
    const FaceVertex& a = verts[idx[t]];
    const FaceVertex& b = verts[idx[t + 1]];
    const FaceVertex& c = verts[idx[t + 2]];
    Vec3 n = Normalize(Cross(b.p - a.p, c.p - a.p));
    if (n.y <= 0) continue;  // facing away from the viewer
    float ax, ay, bx, by, cx, cy;
    toScreen(a.p, ax, ay);
    toScreen(b.p, bx, by);
    toScreen(c.p, cx, cy);
    float area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (std::fabs(area) < 1e-6f) continue;
    int x0 = std::max(0, (int)std::floor(std::min({ax, bx, cx})));
    int x1 = std::min(w - 1, (int)std::ceil(std::max({ax, bx, cx})));
    int y0 = std::max(0, (int)std::floor(std::min({ay, by, cy})));
    int y1 = std::min(h - 1, (int)std::ceil(std::max({ay, by, cy})));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        float px = x + 0.5f, py = y + 0.5f;
        float wa = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
        float wb = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
        float wc = 1.0f - wa - wb;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        float d = a.p.y * wa + b.p.y * wb + c.p.y * wc;
        size_t i = (size_t)y * w + x;
        if (d <= depth[i]) continue;
        depth[i] = d;
        Colour tex = Texel(atlas, a.u * wa + b.u * wb + c.u * wc, a.v * wa + b.v * wb + c.v * wc);
        Vec3 vn = Normalize(a.n * wa + b.n * wb + c.n * wc);
        float lit = 0.55f + 0.6f * std::max(0.0f, Dot(vn, light));
        colour[i] = Colour(tex.r * lit, tex.g * lit, tex.b * lit, 1.0f);
      }
  }

  // Average the samples down; a dark rim where the shape meets the background.
  int pw = picture.Width(), ph = picture.Height();
  std::vector<float> cover((size_t)pw * ph, 0.0f);
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      Colour sum(0, 0, 0, 0);
      for (int sy = 0; sy < Supersample; ++sy)
        for (int sx = 0; sx < Supersample; ++sx) {
          const Colour& c = colour[(size_t)(y * Supersample + sy) * w + x * Supersample + sx];
          sum = Colour(sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a);
        }
      cover[(size_t)y * pw + x] = sum.a / (Supersample * Supersample);
      if (sum.a > 0) picture.Blend(x, y, Colour(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a), cover[(size_t)y * pw + x]);
    }
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      if (cover[(size_t)y * pw + x] > 0.5f) continue;
      float near = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < pw && ny < ph) near = std::max(near, cover[(size_t)ny * pw + nx]);
        }
      if (near > 0.5f) picture.Blend(x, y, Colour(0.05f, 0.05f, 0.05f, 0.7f), 1.0f);
    }
}
