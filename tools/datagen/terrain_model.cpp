// The battlefield's ground: a valley between two ridges with a few hills, as
// one heightfield mesh whose first texture coordinate is the ground
// attribute (below 0.25 dirt and paths, 0.25 to 0.5 meadow with grass,
// above 0.5 rock). Plus the tiling ground image and the grass blade.
#include <cmath>
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/jpeg_writer.h"
#include "tools/datagen/mesh_builder.h"

namespace {

const int Cells = 40;              // 41 x 41 vertices
const float HalfSize = 500.0f;     // x and y in [-500, 500]

struct Hill {
  float x, y, radius, height;
};
const Hill Hills[] = {{-180, 220, 90, 28}, {210, -150, 110, 34}, {120, 300, 70, 18},
                      {-260, -280, 120, 22}, {30, -20, 60, 9}};

float Height(float x, float y) {
  // The valley runs along y; its walls rise toward x = +-500.
  float h = 46.0f * (1.0f - std::exp(-(x / 280.0f) * (x / 280.0f)));
  h += 9.0f * std::sin(x * 0.013f + 0.7f) * std::cos(y * 0.011f);
  h += 6.0f * std::sin(y * 0.021f + 1.3f);
  for (const Hill& hill : Hills) {
    float dx = x - hill.x, dy = y - hill.y;
    h += hill.height * std::exp(-(dx * dx + dy * dy) / (hill.radius * hill.radius));
  }
  return h;
}

Vec3 NormalAt(float x, float y) {
  const float d = 2.0f;
  float hx = Height(x + d, y) - Height(x - d, y);
  float hy = Height(x, y + d) - Height(x, y - d);
  return Normalize(Vec3(-hx, -hy, 2.0f * d));
}

// The ground attribute: a winding path of dirt, rock where it is steep or
// high, meadow elsewhere with some variation.
float Attribute(float x, float y, Vec3 normal) {
  float pathX = 60.0f * std::sin(y * 0.006f);
  float path = std::fabs(x - pathX);
  if (path < 18.0f) return 0.1f;
  float h = Height(x, y);
  if (normal.z < 0.93f || h > 52.0f) return 0.75f;
  return 0.3f + 0.15f * (0.5f + 0.5f * std::sin(x * 0.031f) * std::sin(y * 0.027f));
}

FaceVertex GroundVertex(int i, int j) {
  FaceVertex v;
  float x = -HalfSize + 2.0f * HalfSize * i / Cells;
  float y = -HalfSize + 2.0f * HalfSize * j / Cells;
  v.p = Vec3(x, y, Height(x, y));
  v.n = NormalAt(x, y);
  v.u = Attribute(x, y, v.n);
  v.v = 0.0f;
  return v;
}

// Tiling grass and earth: colours blotched with wrap-around, so the edges meet.
std::vector<unsigned char> GroundImage() {
  const int size = 256;
  Rng rng(0x6c616e64u);
  Canvas canvas(size, size, Hex(0x5d7a35));
  std::vector<Colour> colours = {Hex(0x4f6d2c), Hex(0x6b8740), Hex(0x7a7048), Hex(0x587a33)};
  for (int n = 0; n < 260; ++n) {
    float cx = rng.Unit() * size, cy = rng.Unit() * size, r = 3.0f + rng.Unit() * 11.0f;
    Colour c = colours[rng.Next() % colours.size()];
    c.a = 0.55f;
    for (int ox = -1; ox <= 1; ++ox)
      for (int oy = -1; oy <= 1; ++oy) canvas.FillCircle(cx + ox * size, cy + oy * size, r, c);
  }
  canvas.Grain(0, 0, size, size, 0.12f, rng);
  return EncodeJpeg(size, size, canvas.ToRgba(), 90);
}

// One clump of blades, transparent around them; the foot is the bottom row.
std::vector<unsigned char> GrassImage() {
  const int width = 64, height = 128;
  Rng rng(0x67726173u);
  Canvas canvas(width, height);
  for (int n = 0; n < 14; ++n) {
    float foot = 6.0f + rng.Unit() * (width - 12.0f);
    float lean = rng.Signed() * 18.0f;
    float top = 8.0f + rng.Unit() * 40.0f;
    Colour c = Mix(Hex(0x3f6a22), Hex(0x9bb857), rng.Unit());
    canvas.FillPolygon({{foot - 2.5f, (float)height}, {foot + 2.5f, (float)height},
                        {foot + lean, top}},
                       c);
  }
  return canvas.ToPng();
}

}  // namespace

void WriteTerrain(OutputFolder& out) {
  MbmModel model;
  MeshBuilder& mesh = model.AddMesh("valley", "prettygrass.jpg");
  for (int j = 0; j < Cells; ++j) {
    for (int i = 0; i < Cells; ++i) {
      FaceVertex a = GroundVertex(i, j), b = GroundVertex(i + 1, j);
      FaceVertex c = GroundVertex(i + 1, j + 1), d = GroundVertex(i, j + 1);
      Vec3 below((a.p.x + c.p.x) * 0.5f, (a.p.y + c.p.y) * 0.5f, -1000.0f);
      mesh.Polygon({a, b, c}, below);
      mesh.Polygon({a, c, d}, below);
    }
  }
  // The terrain reads the mesh of the root bone's first child.
  model.AddBone("valley_root", "", Vec3());
  model.AddBone("valley", "valley_root", Vec3(), "valley");
  out.Write("models\\land\\valley.mbm", model.Text());
  out.Write("models\\land\\prettygrass.jpg", GroundImage());
  out.Write("misc\\grass\\grass0.png", GrassImage());
}
