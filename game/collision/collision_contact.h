// One contact found by a collision test or world query.
#ifndef GAME_COLLISION_COLLISION_CONTACT_H
#define GAME_COLLISION_COLLISION_CONTACT_H

#include <cstdint>

#include "core/vector.h"

class CNode;

enum CollisionObjectKind {
    CONTACT_NONE = 0,
    CONTACT_SOLDIER = 1,   // object is a CSoldierTarget*
    CONTACT_VEHICLE = 2,   // object is the vehicle entry's object
    CONTACT_PROP = 3,      // object is a CGenericObject*
    CONTACT_FURTHER = 8    // object is the further object entry's object
};

// Marks a contact found on a part of a collision body.
const int32_t ContactBodyPart = 7;

struct CollisionContact {
    Vector3 point;
    Vector3 normal;
    CNode* node = nullptr;   // none for the ground and for hits on a sphere
    int32_t bodyPart = 0;    // ContactBodyPart or 0
    void* object = nullptr;
    int32_t kind = CONTACT_NONE;
    float distanceSquared = 0.0f;   // from the path's start
};

#endif
