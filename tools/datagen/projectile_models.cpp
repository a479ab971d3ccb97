// Projectiles and grenades. A projectile in flight is drawn unrotated, so the
// shapes are round or upright rather than pointed along a direction; a grenade
// has its origin at its base so that it rests on the ground.
#include <string>

#include "tools/datagen/content.h"
#include "tools/datagen/item_atlas.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/projectile_names.h"

void BuildProjectile(ProjectileShape shape, MeshBuilder& m) {
  switch (shape) {
    case ProjectileShape::Bullet:
      m.Ellipsoid(Vec3(), Vec3(0.03f, 0.03f, 0.03f), 4, 6, ItemRect(Glow));
      break;
    case ProjectileShape::Rocket:
      m.Ellipsoid(Vec3(), Vec3(0.09f, 0.09f, 0.09f), 6, 10, ItemRect(OliveDrab));
      m.Cylinder(Vec3(0, 0, -0.02f), Vec3(0, 0, 0.04f), 0.097f, 0.097f, 10, ItemRect(Warning),
                 ItemRect(Warning));
      m.Ellipsoid(Vec3(), Vec3(0.035f, 0.035f, 0.12f), 4, 8, ItemRect(Glow));
      break;
    case ProjectileShape::Grenade:
      m.Ellipsoid(Vec3(0, 0, 0.06f), Vec3(0.045f, 0.045f, 0.058f), 6, 10, ItemRect(GrenadeShell));
      m.Cylinder(Vec3(0, 0, 0.11f), Vec3(0, 0, 0.028f), 0.019f, 0.017f, 8, ItemRect(Silver),
                 ItemRect(Silver));
      m.SetPlacement(AxisAngle(Vec3(0, 1, 0), -0.35f), Vec3(0.03f, 0, 0.10f));
      m.Box(Vec3(), Vec3(0.006f, 0.009f, 0.035f), ItemRect(Silver));
      m.ResetPlacement();
      m.Cylinder(Vec3(-0.03f, -0.004f, 0.13f), Vec3(0, 0.008f, 0), 0.014f, 0.014f, 8,
                 ItemRect(Silver), ItemRect(Silver));
      break;
  }
}

void WriteProjectileModels(OutputFolder& out) {
  const std::string folder = "models\\projectiles\\";
  const std::string texture = "projectiles.png";
  for (const ProjectileModelName& p : ProjectileModels) {
    MbmModel model;
    BuildProjectile(p.shape, model.AddMesh(p.name, texture));
    model.AddBone(p.name, "", Vec3(), p.name);
    out.Write(folder + p.name + ".mbm", model.Text());
  }
  out.Write(folder + texture, PaintItemAtlas().ToPng());
}
