#include "tools/datagen/skeleton.h"

#include <cstring>

const SoldierJoint SoldierJoints[SoldierJointCount] = {
    {"Soldier", "", Vec3(0, 0, 0), false},
    {"Hip", "Soldier", Vec3(0, 0, 0.95f), true},
    {"Chest", "Hip", Vec3(0, 0, 0.12f), true},
    {"Head", "Chest", Vec3(0, 0, 0.56f), true},
    // Where the soldiers' aim looks for a target's upper body.
    {"chest", "Chest", Vec3(0.05f, 0, 0.30f), false},
    {"RUpperArm", "Chest", Vec3(0, 0.27f, 0.50f), true},
    {"RForearm", "RUpperArm", Vec3(0, 0, -UpperArmLength), true},
    {"RHand", "RForearm", Vec3(0, 0, -ForearmLength), true},
    {"LUpperArm", "Chest", Vec3(0, -0.27f, 0.50f), true},
    {"LForearm", "LUpperArm", Vec3(0, 0, -UpperArmLength), true},
    {"LHand", "LForearm", Vec3(0, 0, -ForearmLength), true},
    {"RThigh", "Hip", Vec3(0, 0.10f, -0.05f), true},
    {"RShin", "RThigh", Vec3(0, 0, -ThighLength), true},
    {"RFoot", "RShin", Vec3(0, 0, -ShinLength), true},
    {"LThigh", "Hip", Vec3(0, -0.10f, -0.05f), true},
    {"LShin", "LThigh", Vec3(0, 0, -ThighLength), true},
    {"LFoot", "LShin", Vec3(0, 0, -ShinLength), true},
};

Vec3 RestPosition(const char* name) {
  for (const SoldierJoint& j : SoldierJoints)
    if (std::strcmp(j.name, name) == 0)
      return j.parent[0] ? RestPosition(j.parent) + j.position : j.position;
  return Vec3();
}
