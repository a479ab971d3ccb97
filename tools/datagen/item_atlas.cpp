#include "tools/datagen/item_atlas.h"

namespace {

const int Cells = 4;
const int CellPixels = 32;

void Origin(ItemCell c, float& x, float& y) {
  x = (float)((c % Cells) * CellPixels);
  y = (float)((c / Cells) * CellPixels);
}

void Plain(Canvas& img, ItemCell c, unsigned colour, float grain, Rng& rng) {
  float x, y;
  Origin(c, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(colour));
  img.Grain((int)x, (int)y, (int)x + CellPixels, (int)y + CellPixels, grain, rng);
}

}  // namespace

UvRect ItemRect(ItemCell cell) { return AtlasCell(cell % Cells, cell / Cells, Cells); }

Canvas PaintItemAtlas() {
  Rng rng(7);
  Canvas img(Cells * CellPixels, Cells * CellPixels, Hex(0x808080));
  Plain(img, Gunmetal, 0x3a3e44, 0.10f, rng);
  Plain(img, Polymer, 0x222324, 0.05f, rng);
  Plain(img, OliveDrab, 0x4e5634, 0.08f, rng);
  Plain(img, Blade, 0xb8bcc4, 0.05f, rng);
  Plain(img, Brass, 0xc09838, 0.06f, rng);
  Plain(img, TubeGreen, 0x44502e, 0.07f, rng);
  Plain(img, Leather, 0x5a3a22, 0.08f, rng);
  Plain(img, Silver, 0xcfd2d6, 0.04f, rng);
  Plain(img, Glow, 0xffd070, 0.02f, rng);
  Plain(img, Rubber, 0x141414, 0.04f, rng);
  Plain(img, Khaki, 0x8a7d58, 0.06f, rng);
  Plain(img, Paint, 0xd0601c, 0.05f, rng);
  float x, y;
  // Wood: a warm base with darker grain lines along u.
  Origin(Wood, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x7a4a26));
  for (int i = 0; i < 9; ++i) {
    float ly = y + 2 + i * 3.4f + rng.Signed();
    img.Line(x, ly, x + CellPixels, ly + rng.Signed() * 2, 0.8f, Hex(0x5a341a, 0.8f));
  }
  img.Grain((int)x, (int)y, (int)x + CellPixels, (int)y + CellPixels, 0.05f, rng);
  // Warning stripes: yellow and black.
  Origin(Warning, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0xd8b020));
  for (int i = -2; i < 5; ++i)
    img.FillPolygon({{x + i * 10.0f, y + CellPixels}, {x + i * 10.0f + 5, y + CellPixels},
                     {x + i * 10.0f + 5 + CellPixels, y}, {x + i * 10.0f + CellPixels, y}},
                    Hex(0x202020));
  // Grenade shell: olive with a grid of grooves.
  Origin(GrenadeShell, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x4a5a30));
  for (int i = 0; i <= 4; ++i) {
    img.Line(x + i * 8.0f, y, x + i * 8.0f, y + CellPixels, 1.2f, Hex(0x2a3418));
    img.Line(x, y + i * 8.0f, x + CellPixels, y + i * 8.0f, 1.2f, Hex(0x2a3418));
  }
  // Lens: a dark glass with a highlight.
  Origin(Lens, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x10202c));
  img.FillCircle(x + 11, y + 11, 5, Hex(0x8ab0d0, 0.6f));
  return img;
}
