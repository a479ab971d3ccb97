#ifndef DATAGEN_CONTENT_H
#define DATAGEN_CONTENT_H

#include "tools/datagen/output.h"

// Each family of generated files, written below the data folder.
void WriteSoldierModels(OutputFolder& out);
void WriteWeaponModels(OutputFolder& out);
void WriteProjectileModels(OutputFolder& out);
void WriteVehicleModels(OutputFolder& out);
void WritePropModels(OutputFolder& out);
void WriteParticleImages(OutputFolder& out);
void WriteAnimationClips(OutputFolder& out);
void WriteUiImages(OutputFolder& out);
void WriteItemImages(OutputFolder& out);
void WriteSoundEffects(OutputFolder& out);
void WriteMusic(OutputFolder& out);
void WriteTerrain(OutputFolder& out);

#endif
