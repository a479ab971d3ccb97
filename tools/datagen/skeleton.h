#ifndef DATAGEN_SKELETON_H
#define DATAGEN_SKELETON_H

#include "tools/datagen/geometry.h"

// The soldier's bone tree, shared by the soldier models and the clips. Every bone
// rests with the identity rotation; positions are in the parent's frame, in
// metres, the model facing +x with its right side at +y and its feet at z = 0.
// Limbs hang along -z from their joints.
struct SoldierJoint {
  const char* name;
  const char* parent;  // empty for the root
  Vec3 position;
  bool drawn;  // carries a mesh of its own
};

const int SoldierJointCount = 17;
extern const SoldierJoint SoldierJoints[SoldierJointCount];

// Joint lengths the meshes and the posing share.
const float UpperArmLength = 0.30f;
const float ForearmLength = 0.27f;
const float ThighLength = 0.45f;
const float ShinLength = 0.40f;

// Model-space position of a joint in the rest pose.
Vec3 RestPosition(const char* name);

#endif
