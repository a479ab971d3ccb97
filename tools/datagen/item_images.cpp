// Heads-up pictures of the items the stats tables name: a side view of each
// weapon model, the grenade's icon and the round icons shown per shot in a
// magazine.
#include <string>

#include "tools/datagen/content.h"
#include "tools/datagen/item_atlas.h"
#include "tools/datagen/mesh_picture.h"
#include "tools/datagen/projectile_names.h"
#include "tools/datagen/weapon_names.h"

namespace {

// A cartridge standing upright: brass case, copper bullet.
Canvas RoundBullet() {
  Canvas img(8, 32);
  img.FillRoundRect(1, 12, 7, 31, 1, Hex(0xc8a040));
  img.FillRect(1, 27, 7, 29, Hex(0x8a6a20));
  img.FillPolygon({{1, 13}, {2, 5}, {4, 1}, {6, 5}, {7, 13}}, Hex(0xb06a38));
  img.Line(2.5f, 14, 2.5f, 26, 1, Hex(0xf0d890, 0.7f));
  return img;
}

// A rocket pointing up: olive body, warhead, fins.
Canvas RoundRocket() {
  Canvas img(16, 32);
  img.FillRect(5, 8, 11, 26, Hex(0x56603a));
  img.FillPolygon({{5, 9}, {8, 1}, {11, 9}}, Hex(0x8a8a80));
  img.FillRect(5, 14, 11, 16, Hex(0xd8b020));
  img.FillPolygon({{5, 20}, {1, 31}, {5, 28}}, Hex(0x3a3c3e));
  img.FillPolygon({{11, 20}, {15, 31}, {11, 28}}, Hex(0x3a3c3e));
  img.FillRect(6, 26, 10, 31, Hex(0x2a2a2a));
  img.Line(6.5f, 9, 6.5f, 25, 1, Hex(0x9aa070, 0.6f));
  return img;
}

}  // namespace

void WriteItemImages(OutputFolder& out) {
  Canvas atlas = PaintItemAtlas();
  for (const WeaponModelName& w : WeaponModels) {
    MeshBuilder mesh(w.name, "");
    BuildWeapon(w.shape, mesh);
    Canvas picture(128, 64);
    DrawMeshSideView(mesh, atlas, picture, 4);
    out.Write(std::string("ui\\") + w.name + ".png", picture.ToPng());
  }
  MeshBuilder grenade("grenade", "");
  BuildProjectile(ProjectileShape::Grenade, grenade);
  Canvas grenadePicture(64, 64);
  DrawMeshSideView(grenade, atlas, grenadePicture, 6);
  out.Write("ui\\grenade_pic.png", grenadePicture.ToPng());
  out.Write("ui\\round_bullet.png", RoundBullet().ToPng());
  out.Write("ui\\round_rocket.png", RoundRocket().ToPng());
}
