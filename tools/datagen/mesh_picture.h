#ifndef DATAGEN_MESH_PICTURE_H
#define DATAGEN_MESH_PICTURE_H

#include "tools/datagen/canvas.h"
#include "tools/datagen/mesh_builder.h"

// A side view of a mesh for the heads-up display: seen from +y (so +x points
// right and +z up), textured from its atlas, lit from the upper left, fitted
// into the canvas with a margin and outlined so it reads on any background.
void DrawMeshSideView(const MeshBuilder& mesh, const Canvas& atlas, Canvas& picture, float margin);

#endif
