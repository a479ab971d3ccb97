// Model and collision-body helpers shared by the battle's objects: every
// object holds its own instance of a shared model and a collision body that
// points into that instance's nodes.
#ifndef GAME_WEAPONS_ITEM_MODEL_H
#define GAME_WEAPONS_ITEM_MODEL_H

#include <string>

#include "core/matrix.h"
#include "core/vector.h"
#include "game/collision/collision_body.h"
#include "render/model.h"

class CNode;

// An instance of the model, from the model cache or loaded from its ".mbm";
// false (model empty) when neither works.
bool LoadObjectModel(CModel& model, const std::string& path);
// out becomes a new instance of in's node tree (empty when in has none).
void CopyModelInstance(CModel& out, const CModel& in);
// Attaches body to model's nodes under the model file's base name
// ("data\models\weapons\rifle.mbm" -> "rifle", the collision caches'
// prefix); a model without nodes leaves the body detached.
void AttachBodyToModel(CCollisionBody& body, const CModel& model);
// A copy of other's model and body for an object that copies itself: a new
// instance with the body attached to it, never to other's nodes.
void CopyModelAndBody(CModel& model, CCollisionBody& body, const CModel& otherModel);

Vector3 NodeTranslation(CNode* node);
// Rotation turning +x onto direction with position as translation. A
// direction without a horizontal part keeps the unrotated frame (the
// heading is undefined there).
void BuildObjectTransform(Matrix4& out, const Vector3& direction, const Vector3& position);
// Uniform draw in [0, 1] from the game's generator.
float RandUnit();

#endif
