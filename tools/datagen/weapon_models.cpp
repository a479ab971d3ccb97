// The weapons: each held with its grip at the model's origin (the soldier's right
// hand), the barrel along +x and z up, and a mesh-less "FPoint" bone at the
// muzzle where shots leave.
#include <string>

#include "tools/datagen/content.h"
#include "tools/datagen/item_atlas.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/weapon_names.h"

namespace {

const Vec3 YAxis(0, 1, 0);

// A box turned about y by 'tilt' (positive tips its bottom backward).
void TiltedBox(MeshBuilder& m, Vec3 centre, Vec3 half, float tilt, ItemCell cell) {
  m.SetPlacement(AxisAngle(YAxis, tilt), centre);
  m.Box(Vec3(), half, ItemRect(cell));
  m.ResetPlacement();
}

void Barrel(MeshBuilder& m, float x0, float x1, float z, float radius, ItemCell cell) {
  m.Cylinder(Vec3(x0, 0, z), Vec3(x1 - x0, 0, 0), radius, radius, 8, ItemRect(cell), ItemRect(cell));
}

Vec3 Rifle(MeshBuilder& m) {
  m.Box(Vec3(0.11f, 0, 0.06f), Vec3(0.17f, 0.026f, 0.042f), ItemRect(Gunmetal));
  m.Box(Vec3(0.40f, 0, 0.058f), Vec3(0.12f, 0.03f, 0.032f), ItemRect(Wood));
  Barrel(m, 0.28f, 0.74f, 0.066f, 0.011f, Gunmetal);
  Barrel(m, 0.70f, 0.77f, 0.066f, 0.017f, Polymer);
  m.Box(Vec3(0.66f, 0, 0.095f), Vec3(0.008f, 0.006f, 0.028f), ItemRect(Gunmetal));
  m.Box(Vec3(0.08f, 0, 0.113f), Vec3(0.06f, 0.012f, 0.012f), ItemRect(Gunmetal));
  m.Beam(Vec3(-0.38f, 0, 0.03f), 0.022f, 0.06f, Vec3(-0.05f, 0, 0.055f), 0.02f, 0.032f, ItemRect(Wood));
  m.Box(Vec3(-0.385f, 0, 0.03f), Vec3(0.008f, 0.024f, 0.062f), ItemRect(Rubber));
  TiltedBox(m, Vec3(0.0f, 0, -0.03f), Vec3(0.024f, 0.02f, 0.06f), 0.3f, Polymer);
  TiltedBox(m, Vec3(0.15f, 0, -0.06f), Vec3(0.03f, 0.017f, 0.08f), -0.25f, Gunmetal);
  return Vec3(0.78f, 0, 0.066f);
}

Vec3 RocketLauncher(MeshBuilder& m) {
  float z = 0.13f;
  m.Cylinder(Vec3(-0.45f, 0, z), Vec3(1.05f, 0, 0), 0.055f, 0.055f, 12, ItemRect(TubeGreen),
             ItemRect(Rubber));
  m.Cylinder(Vec3(-0.47f, 0, z), Vec3(0.06f, 0, 0), 0.066f, 0.066f, 12, ItemRect(Rubber),
             ItemRect(Rubber));
  m.Cylinder(Vec3(0.55f, 0, z), Vec3(0.06f, 0, 0), 0.066f, 0.066f, 12, ItemRect(Rubber),
             ItemRect(Rubber));
  m.Cylinder(Vec3(0.35f, 0, z), Vec3(0.06f, 0, 0), 0.058f, 0.058f, 12, ItemRect(Warning),
             ItemRect(Warning));
  // Warhead nose showing at the front.
  m.Cylinder(Vec3(0.61f, 0, z), Vec3(0.12f, 0, 0), 0.045f, 0.0f, 10, ItemRect(OliveDrab),
             ItemRect(OliveDrab));
  m.Box(Vec3(0.0f, 0, 0.04f), Vec3(0.025f, 0.02f, 0.05f), ItemRect(Polymer));
  m.Box(Vec3(0.25f, 0, 0.05f), Vec3(0.025f, 0.02f, 0.04f), ItemRect(Polymer));
  m.Box(Vec3(0.10f, -0.07f, z + 0.05f), Vec3(0.05f, 0.02f, 0.03f), ItemRect(Gunmetal));
  m.Box(Vec3(0.055f, -0.07f, z + 0.05f), Vec3(0.004f, 0.016f, 0.022f), ItemRect(Lens));
  return Vec3(0.74f, 0, z);
}

Vec3 Knife(MeshBuilder& m) {
  m.Beam(Vec3(-0.10f, 0, 0), 0.013f, 0.017f, Vec3(0.0f, 0, 0), 0.012f, 0.015f, ItemRect(Leather));
  m.Box(Vec3(0.004f, 0, 0), Vec3(0.006f, 0.014f, 0.032f), ItemRect(Silver));
  m.Beam(Vec3(0.01f, 0, 0.004f), 0.004f, 0.02f, Vec3(0.21f, 0, 0.012f), 0.001f, 0.003f,
         ItemRect(Blade));
  return Vec3(0.215f, 0, 0.012f);
}

Vec3 FlareGun(MeshBuilder& m) {
  m.Box(Vec3(0.06f, 0, 0.07f), Vec3(0.08f, 0.018f, 0.024f), ItemRect(Paint));
  m.Cylinder(Vec3(0.12f, 0, 0.075f), Vec3(0.10f, 0, 0), 0.022f, 0.022f, 10, ItemRect(Paint),
             ItemRect(Rubber));
  TiltedBox(m, Vec3(-0.005f, 0, -0.01f), Vec3(0.024f, 0.017f, 0.05f), 0.3f, Polymer);
  m.Box(Vec3(0.05f, 0, 0.025f), Vec3(0.028f, 0.005f, 0.005f), ItemRect(Polymer));
  m.Box(Vec3(-0.03f, 0, 0.1f), Vec3(0.012f, 0.006f, 0.012f), ItemRect(Gunmetal));  // hammer
  return Vec3(0.23f, 0, 0.075f);
}

// Held by the end of its handle, the head forward with the edge up.
Vec3 Hatchet(MeshBuilder& m) {
  m.Beam(Vec3(-0.06f, 0, 0), 0.015f, 0.02f, Vec3(0.34f, 0, 0.0f), 0.013f, 0.017f, ItemRect(Wood));
  m.Box(Vec3(0.30f, 0, 0.02f), Vec3(0.035f, 0.02f, 0.045f), ItemRect(Gunmetal));
  m.Taper(Vec3(0.30f, 0, 0.065f), 0.033f, 0.009f, Vec3(0.30f, 0, 0.15f), 0.065f, 0.002f,
          ItemRect(Blade));
  return Vec3(0.30f, 0, 0.15f);
}

// A light mortar carried like a launcher: tube, bipod folded under it and the
// base plate at the back.
Vec3 Mortar(MeshBuilder& m) {
  float z = 0.10f;
  m.Cylinder(Vec3(-0.30f, 0, z), Vec3(0.78f, 0, 0), 0.045f, 0.045f, 12, ItemRect(OliveDrab),
             ItemRect(Rubber));
  m.Cylinder(Vec3(0.42f, 0, z), Vec3(0.06f, 0, 0), 0.052f, 0.052f, 12, ItemRect(Gunmetal),
             ItemRect(Rubber));
  m.Box(Vec3(-0.33f, 0, z), Vec3(0.02f, 0.14f, 0.14f), ItemRect(Gunmetal));
  m.Box(Vec3(0.22f, 0, z - 0.05f), Vec3(0.03f, 0.055f, 0.02f), ItemRect(Gunmetal));
  TiltedBox(m, Vec3(0.08f, 0.05f, z - 0.07f), Vec3(0.008f, 0.008f, 0.16f), 1.2f, Gunmetal);
  TiltedBox(m, Vec3(0.08f, -0.05f, z - 0.07f), Vec3(0.008f, 0.008f, 0.16f), 1.2f, Gunmetal);
  m.Box(Vec3(0.0f, 0, 0.03f), Vec3(0.025f, 0.02f, 0.04f), ItemRect(Polymer));
  m.Box(Vec3(0.12f, 0.06f, z + 0.04f), Vec3(0.03f, 0.015f, 0.025f), ItemRect(Gunmetal));
  return Vec3(0.49f, 0, z);
}

}  // namespace

Vec3 BuildWeapon(WeaponShape shape, MeshBuilder& m) {
  switch (shape) {
    case WeaponShape::Knife: return Knife(m);
    case WeaponShape::Rifle: return Rifle(m);
    case WeaponShape::RocketLauncher: return RocketLauncher(m);
    case WeaponShape::FlareGun: return FlareGun(m);
    case WeaponShape::Hatchet: return Hatchet(m);
    case WeaponShape::Mortar: return Mortar(m);
  }
  return Vec3();
}

void WriteWeaponModels(OutputFolder& out) {
  const std::string folder = "models\\weapons\\";
  const std::string texture = "weapons.png";
  for (const WeaponModelName& w : WeaponModels) {
    MbmModel model;
    MeshBuilder& mesh = model.AddMesh(w.name, texture);
    Vec3 muzzle = BuildWeapon(w.shape, mesh);
    model.AddBone(w.name, "", Vec3(), w.name);
    model.AddBone("FPoint", w.name, muzzle);
    out.Write(folder + w.name + ".mbm", model.Text());
  }
  out.Write(folder + texture, PaintItemAtlas().ToPng());
}
