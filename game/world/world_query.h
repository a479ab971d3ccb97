// World queries: rays and segments against the object sets of the world,
// nearest contact first.
#ifndef GAME_WORLD_WORLD_QUERY_H
#define GAME_WORLD_WORLD_QUERY_H

#include "core/geometry.h"
#include "game/collision/collision_contact.h"

class CCollisionBody;
class CWorldAccess;

// Object set bits.
enum WorldQuerySet {
    QUERY_TERRAIN = 1,
    QUERY_VEHICLES = 2,
    QUERY_SOLDIERS = 4,
    QUERY_PROPS = 8,
    QUERY_FURTHER = 0x10,
    QUERY_ALL = 31
};

// The contact kind of an object set bit other than the terrain's.
int ContactKindOfSet(int set);

// The ray against the selected sets, the excluded object skipped (see the
// identities in world_access.h). Precision 1 stops at the parts' spheres,
// 2 at their boxes, 3 and above tests the triangles. With skipBackFaces
// triangles facing away from the ray are ignored. False without a hit.
bool WorldQuery(CWorldAccess& world, const Ray& ray, int sets, CollisionContact& out,
                const void* excluded, int precision, bool skipBackFaces);
// The segment form: bodies by SegmentHitsBody, the ground by SegmentHitsTerrain.
bool WorldQuerySegment(CWorldAccess& world, const Vector3& p0, const Vector3& p1, int sets,
                       CollisionContact& out, const void* excluded);
// The ray against one body at a precision; contact distance from the ray's origin.
bool RayHitsBody(CCollisionBody& body, const Ray& ray, int precision, bool skipBackFaces,
                 CollisionContact& out);

// The nearest dropped grenade item (kind 1) or dropped weapon (kind 0) whose
// sphere overlaps the sphere; a weapon wins a tie. False when none overlaps.
bool FindOverlappingObjects(CWorldAccess& world, const Sphere& sphere, void*& outItem,
                            int& outKind);

#endif
