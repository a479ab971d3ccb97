// vexmoor_datagen: writes the generated half of the game's data folder (models,
// clips, images, sound effects and music) into the folder named on the command
// line. The output depends on nothing but this program: no clock, no locale, no
// environment, fixed seeds, so two runs give the same bytes.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/datagen/content.h"

int main(int argc, char** argv) {
  bool list = argc == 3 && std::strcmp(argv[2], "--list") == 0;
  if (argc != 2 && !list) {
    std::fprintf(stderr, "usage: vexmoor_datagen <data folder> [--list]\n");
    return 2;
  }
  OutputFolder out(argv[1]);
  WriteSoldierModels(out);
  WriteWeaponModels(out);
  WriteProjectileModels(out);
  WriteVehicleModels(out);
  WritePropModels(out);
  WriteParticleImages(out);
  WriteAnimationClips(out);
  WriteUiImages(out);
  WriteItemImages(out);
  WriteSoundEffects(out);
  WriteMusic(out);
  WriteTerrain(out);
  if (list)
    for (const std::string& name : out.Written()) std::printf("%s\n", name.c_str());
  return out.Failed() ? 1 : 0;
}
