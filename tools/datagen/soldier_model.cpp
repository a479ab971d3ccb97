// The soldiers: a low-poly figure whose every limb is a bone with its own mesh,
// so that a limb can be shot off, painted from one 128 x 128 atlas per look.
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/skeleton.h"

namespace {

struct SoldierLook {
  const char* name;  // file base name in the characters folder
  unsigned skin, eyes;
  unsigned camo[3], trousers[3];
  unsigned helmet, helmetStripe, vest, belt, boots, gloves, pack, band;
  bool goggles;
  uint32_t seed;
};

const int Cells = 4;
const int CellPixels = 32;

enum Cell { Skin, Face, Helmet, Boots, Camo, Trousers, Vest, Belt, Gloves, Pack, Band };

UvRect CellRect(Cell c) { return AtlasCell(c % Cells, c / Cells, Cells); }

void CellOrigin(Cell c, int& x, int& y) {
  x = (c % Cells) * CellPixels;
  y = (c / Cells) * CellPixels;
}

void FillCell(Canvas& img, Cell c, Colour colour, float grain, Rng& rng) {
  int x, y;
  CellOrigin(c, x, y);
  img.FillRect((float)x, (float)y, (float)x + CellPixels, (float)y + CellPixels, colour);
  img.Grain(x, y, x + CellPixels, y + CellPixels, grain, rng);
}

void CamoCell(Canvas& img, Cell c, const unsigned colours[3], Rng& rng) {
  int x, y;
  CellOrigin(c, x, y);
  img.FillRect((float)x, (float)y, (float)x + CellPixels, (float)y + CellPixels, Hex(colours[0]));
  img.Blotches(x, y, x + CellPixels, y + CellPixels, {Hex(colours[1]), Hex(colours[2])}, 14, 2.5f,
               6.0f, rng);
  img.Grain(x, y, x + CellPixels, y + CellPixels, 0.06f, rng);
}

Canvas PaintAtlas(const SoldierLook& look) {
  Rng rng(look.seed);
  Canvas img(Cells * CellPixels, Cells * CellPixels, Hex(0x808080));
  FillCell(img, Skin, Hex(look.skin), 0.04f, rng);
  FillCell(img, Helmet, Hex(look.helmet), 0.08f, rng);
  FillCell(img, Boots, Hex(look.boots), 0.05f, rng);
  CamoCell(img, Camo, look.camo, rng);
  CamoCell(img, Trousers, look.trousers, rng);
  FillCell(img, Vest, Hex(look.vest), 0.07f, rng);
  FillCell(img, Belt, Hex(look.belt), 0.05f, rng);
  FillCell(img, Gloves, Hex(look.gloves), 0.05f, rng);
  FillCell(img, Pack, Hex(look.pack), 0.08f, rng);
  FillCell(img, Band, Hex(look.band), 0.03f, rng);

  int x, y;
  // Helmet: a stripe round the middle of the cell shows on the rim.
  CellOrigin(Helmet, x, y);
  img.FillRect((float)x, y + 12.0f, (float)x + CellPixels, y + 18.0f, Hex(look.helmetStripe));
  // Vest: pouches and a seam.
  CellOrigin(Vest, x, y);
  Colour pouch = Scale(Hex(look.vest), 0.75f);
  img.FillRoundRect(x + 3.0f, y + 16.0f, x + 14.0f, y + 28.0f, 2, pouch);
  img.FillRoundRect(x + 18.0f, y + 16.0f, x + 29.0f, y + 28.0f, 2, pouch);
  img.Line(x + 16.0f, (float)y, x + 16.0f, y + 14.0f, 1.2f, Scale(Hex(look.vest), 0.6f));
  // Belt: a buckle.
  CellOrigin(Belt, x, y);
  img.FillRect(x + 13.0f, y + 8.0f, x + 19.0f, y + 24.0f, Hex(0xb0a070));
  // Backpack: flap and straps.
  CellOrigin(Pack, x, y);
  img.FillRect((float)x, (float)y, (float)x + CellPixels, y + 10.0f, Scale(Hex(look.pack), 0.8f));
  img.FillRect(x + 6.0f, (float)y, x + 9.0f, (float)y + CellPixels, Scale(Hex(look.pack), 0.6f));
  img.FillRect(x + 23.0f, (float)y, x + 26.0f, (float)y + CellPixels, Scale(Hex(look.pack), 0.6f));

  // Face: the front of the head box, top of the cell at the brow line under the
  // helmet, bottom at the chin.
  CellOrigin(Face, x, y);
  Colour skin = Hex(look.skin);
  img.FillRect((float)x, (float)y, (float)x + CellPixels, (float)y + CellPixels, skin);
  img.Grain(x, y, x + CellPixels, y + CellPixels, 0.03f, rng);
  Colour shade = Scale(skin, 0.75f);
  if (look.goggles) {
    img.FillRoundRect(x + 4.0f, y + 9.0f, x + 28.0f, y + 17.0f, 3, Hex(0x202020));
    img.FillEllipse(x + 10.0f, y + 13.0f, 4.5f, 3.0f, Hex(look.eyes));
    img.FillEllipse(x + 22.0f, y + 13.0f, 4.5f, 3.0f, Hex(look.eyes));
  } else {
    img.FillRect(x + 6.0f, y + 9.0f, x + 13.0f, y + 10.5f, Scale(skin, 0.45f));
    img.FillRect(x + 19.0f, y + 9.0f, x + 26.0f, y + 10.5f, Scale(skin, 0.45f));
    img.FillEllipse(x + 10.0f, y + 13.5f, 2.6f, 1.8f, Hex(0xf0f0f0));
    img.FillEllipse(x + 22.0f, y + 13.5f, 2.6f, 1.8f, Hex(0xf0f0f0));
    img.FillCircle(x + 10.0f, y + 13.5f, 1.3f, Hex(look.eyes));
    img.FillCircle(x + 22.0f, y + 13.5f, 1.3f, Hex(look.eyes));
  }
  img.FillPolygon({{x + 16.0f, y + 14.0f}, {x + 13.5f, y + 21.0f}, {x + 18.5f, y + 21.0f}}, shade);
  img.FillRect(x + 11.0f, y + 25.0f, x + 21.0f, y + 26.5f, Scale(skin, 0.5f));
  img.FillRect((float)x, (float)y, x + 2.0f, (float)y + CellPixels, shade);
  img.FillRect(x + 30.0f, (float)y, (float)x + CellPixels, (float)y + CellPixels, shade);
  return img;
}

void BuildMeshes(MbmModel& model, const std::string& texture) {
  UvRect skin = CellRect(Skin), face = CellRect(Face), helmet = CellRect(Helmet);
  UvRect boots = CellRect(Boots), camo = CellRect(Camo), trousers = CellRect(Trousers);
  UvRect vest = CellRect(Vest), belt = CellRect(Belt), gloves = CellRect(Gloves);
  UvRect pack = CellRect(Pack), band = CellRect(Band);

  MeshBuilder& hip = model.AddMesh("Hip", texture);
  hip.Taper(Vec3(0, 0, -0.13f), 0.11f, 0.16f, Vec3(0, 0, 0.12f), 0.11f, 0.17f, trousers);
  hip.Box(Vec3(0, 0, 0.09f), Vec3(0.125f, 0.18f, 0.035f), belt);
  hip.Box(Vec3(0.02f, 0.15f, 0.02f), Vec3(0.06f, 0.04f, 0.05f), vest);  // hip pouch

  MeshBuilder& chest = model.AddMesh("Chest", texture);
  chest.Taper(Vec3(0, 0, 0), 0.11f, 0.16f, Vec3(0, 0, 0.50f), 0.13f, 0.20f, camo);
  chest.Taper(Vec3(0, 0, 0.07f), 0.135f, 0.175f, Vec3(0, 0, 0.44f), 0.145f, 0.205f, vest);
  chest.Box(Vec3(-0.22f, 0, 0.28f), Vec3(0.08f, 0.14f, 0.16f), pack);
  chest.Box(Vec3(0.01f, 0, 0.52f), Vec3(0.08f, 0.09f, 0.03f), camo);  // collar

  MeshBuilder& head = model.AddMesh("Head", texture);
  head.Cylinder(Vec3(0, 0, 0), Vec3(0, 0, 0.09f), 0.055f, 0.055f, 8, skin, skin);
  UvRect headRects[6] = {face, skin, skin, skin, skin, skin};
  head.Box(Vec3(0.01f, 0, 0.19f), Vec3(0.105f, 0.09f, 0.12f), headRects);
  head.Box(Vec3(0.125f, 0, 0.15f), Vec3(0.02f, 0.02f, 0.025f), skin);  // nose
  head.Cylinder(Vec3(0, 0, 0.23f), Vec3(0, 0, 0.06f), 0.16f, 0.155f, 10, helmet, helmet);
  head.Cylinder(Vec3(0, 0, 0.29f), Vec3(0, 0, 0.09f), 0.155f, 0.08f, 10, helmet, helmet);

  for (int side = 0; side < 2; ++side) {
    std::string s = side ? "L" : "R";
    MeshBuilder& upper = model.AddMesh(s + "UpperArm", texture);
    upper.Taper(Vec3(0, 0, -UpperArmLength), 0.05f, 0.05f, Vec3(0, 0, 0.04f), 0.07f, 0.07f, camo);
    upper.Box(Vec3(0, 0, -0.07f), Vec3(0.073f, 0.073f, 0.03f), band);
    MeshBuilder& fore = model.AddMesh(s + "Forearm", texture);
    fore.Taper(Vec3(0, 0, -ForearmLength), 0.04f, 0.04f, Vec3(0, 0, 0.02f), 0.052f, 0.052f, camo);
    MeshBuilder& hand = model.AddMesh(s + "Hand", texture);
    hand.Box(Vec3(0, 0, -0.06f), Vec3(0.045f, 0.03f, 0.065f), gloves);

    MeshBuilder& thigh = model.AddMesh(s + "Thigh", texture);
    thigh.Taper(Vec3(0, 0, -ThighLength), 0.065f, 0.06f, Vec3(0, 0, 0.04f), 0.09f, 0.085f, trousers);
    thigh.Box(Vec3(0.065f, 0, -0.42f), Vec3(0.025f, 0.05f, 0.05f), belt);  // knee pad
    MeshBuilder& shin = model.AddMesh(s + "Shin", texture);
    shin.Taper(Vec3(0, 0, -0.22f), 0.057f, 0.055f, Vec3(0, 0, 0.02f), 0.066f, 0.062f, trousers);
    shin.Taper(Vec3(0, 0, -ShinLength), 0.062f, 0.06f, Vec3(0, 0, -0.20f), 0.065f, 0.062f, boots);
    MeshBuilder& foot = model.AddMesh(s + "Foot", texture);
    foot.Taper(Vec3(0.04f, 0, -0.05f), 0.14f, 0.06f, Vec3(0.02f, 0, 0.02f), 0.09f, 0.055f, boots);
  }
}

void WriteSoldier(OutputFolder& out, const SoldierLook& look) {
  std::string texture = std::string(look.name) + ".png";
  MbmModel model;
  BuildMeshes(model, texture);
  for (const SoldierJoint& j : SoldierJoints) {
    // The root carries no mesh, so the body's bounding sphere centres on the hip.
    std::string mesh = j.drawn ? j.name : "";
    model.AddBone(j.name, j.parent, j.position, mesh);
  }
  std::string folder = "models\\characters\\";
  out.Write(folder + look.name + ".mbm", model.Text());
  out.Write(folder + texture, PaintAtlas(look).ToPng());
}

}  // namespace

void WriteSoldierModels(OutputFolder& out) {
  // The player's side: olive woodland camouflage, green helmet band.
  static const SoldierLook hero = {
      "hero", 0xc89a78, 0x3a5a8a, {0x5d6b3c, 0x3e4a27, 0x7d7650}, {0x55603a, 0x3a4426, 0x6d6a48},
      0x4f5a32, 0x2f6a2a, 0x9a8a5e, 0x5a4630, 0x2e2a26, 0x4a4034, 0x6a6040, 0x2f8a2a, false, 11};
  // The enemy: slate grey with red markings and dark goggles.
  static const SoldierLook enemy = {
      "enemy_hero", 0xb08868, 0xd02a1a, {0x3c414c, 0x2a2d34, 0x555963}, {0x33373f, 0x24262c, 0x4a4d55},
      0x2c2f36, 0xa01c1c, 0x1e2024, 0x2a2420, 0x18181a, 0x202022, 0x30323a, 0xb01e1e, true, 23};
  WriteSoldier(out, hero);
  WriteSoldier(out, enemy);
}
