#ifndef DATAGEN_ITEM_ATLAS_H
#define DATAGEN_ITEM_ATLAS_H

#include "tools/datagen/canvas.h"
#include "tools/datagen/mesh_builder.h"

// The materials of weapons, projectiles and grenades: one 128 x 128 atlas of
// 4 x 4 cells, written beside the models that use it.
enum ItemCell {
  Gunmetal, Polymer, Wood, OliveDrab,
  Blade, Brass, TubeGreen, Warning,
  Leather, GrenadeShell, Silver, Glow,
  Rubber, Khaki, Paint, Lens
};

UvRect ItemRect(ItemCell cell);
Canvas PaintItemAtlas();

#endif
