// Props the level places: a crate, a wall piece, a rock and a tree, each
// with its origin at its base so it stands on the ground, sharing one atlas.
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/mesh_builder.h"

namespace {

enum PropCell { Planks, Stone, Granite, Bark, Leaves, PropCellCount };
const int PropCells = 4;
const int PropCellPixels = 32;

UvRect PropRect(PropCell cell) {
  return AtlasCell(cell % PropCells, cell / PropCells, PropCells);
}

Canvas PaintPropAtlas() {
  const unsigned base[PropCellCount] = {0x8a6a3e, 0x8c8a84, 0x6e6a64, 0x5a4030, 0x3e6a2e};
  Canvas img(PropCells * PropCellPixels, PropCells * PropCellPixels, Hex(0x808080));
  Rng rng(0x70707);
  for (int c = 0; c < PropCellCount; c++) {
    float x0 = (c % PropCells) * PropCellPixels, y0 = (c / PropCells) * PropCellPixels;
    float x1 = x0 + PropCellPixels, y1 = y0 + PropCellPixels;
    img.FillRect(x0, y0, x1, y1, Hex(base[c]));
    if (c == Planks) {
      for (int i = 1; i < 4; i++)
        img.Line(x0, y0 + i * 8.0f, x1, y0 + i * 8.0f, 1, Hex(0x4a3620));
    } else if (c == Stone) {
      for (int i = 1; i < 4; i++)
        img.Line(x0, y0 + i * 8.0f, x1, y0 + i * 8.0f, 1, Hex(0x5a5854));
      for (int i = 0; i < 4; i++)
        img.Line(x0 + ((i % 2) ? 8 : 20), y0 + i * 8.0f, x0 + ((i % 2) ? 8 : 20),
                 y0 + i * 8.0f + 8, 1, Hex(0x5a5854));
    } else {
      img.Blotches((int)x0, (int)y0, (int)x1, (int)y1,
                   {Scale(Hex(base[c]), 0.8f), Scale(Hex(base[c]), 1.2f)}, 12, 1.5f, 4.0f, rng);
    }
    img.Grain((int)x0, (int)y0, (int)x1, (int)y1, 0.08f, rng);
  }
  return img;
}

void WriteProp(OutputFolder& out, const std::string& name, void (*build)(MeshBuilder&)) {
  MbmModel model;
  build(model.AddMesh(name, "props.png"));
  model.AddBone(name, "", Vec3(), name);
  out.Write("models\\props\\" + name + ".mbm", model.Text());
}

}  // namespace

void WritePropModels(OutputFolder& out) {
  WriteProp(out, "crate", [](MeshBuilder& m) {
    m.Box(Vec3(0, 0, 0.6f), Vec3(0.6f, 0.6f, 0.6f), PropRect(Planks));
  });
  WriteProp(out, "wall", [](MeshBuilder& m) {
    m.Box(Vec3(0, 0, 1.0f), Vec3(2.0f, 0.2f, 1.0f), PropRect(Stone));
  });
  WriteProp(out, "rock", [](MeshBuilder& m) {
    m.Ellipsoid(Vec3(0, 0, 0.8f), Vec3(1.5f, 1.1f, 0.8f), 6, 10, PropRect(Granite));
  });
  WriteProp(out, "tree", [](MeshBuilder& m) {
    m.Cylinder(Vec3(), Vec3(0, 0, 4.0f), 0.3f, 0.2f, 8, PropRect(Bark), PropRect(Bark));
    m.Ellipsoid(Vec3(0, 0, 4.5f), Vec3(1.8f, 1.8f, 2.2f), 6, 10, PropRect(Leaves));
  });
  out.Write("models\\props\\props.png", PaintPropAtlas().ToPng());
}
