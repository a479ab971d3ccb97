// Collision cache files under "gen\\data\\collision\\": text with a label
// line before each value or list. ".col" holds a model (sphere, box tree,
// welded geometry), ".sph" an object's bounding sphere. Numbers are written
// with six significant digits in the classic locale, whatever the user's.
//
// Readers skip the labels unread but check everything else: every
// extraction, counts, offsets and indices against the lists they point
// into, sorted index lists, finite numbers and plausible radii. A file that
// fails is reported bad and the caller rebuilds and rewrites it. Writers
// write a temporary file and rename it into place, so a cut-off write never
// leaves half a file under the cache's name.
#ifndef GAME_COLLISION_CACHE_H
#define GAME_COLLISION_CACHE_H

#include <string>

#include "core/geometry.h"

class CCollisionModel;

enum CollisionCacheRead {
    CollisionCacheMissing,   // cannot be opened
    CollisionCacheBad,       // short, garbled or inconsistent
    CollisionCacheGood
};

// Largest sphere radius a cache may hold: no object or model is wider than
// the widest terrain (100,000 across). A larger radius is a garbled file;
// a sphere beyond it is not written, so a cache never holds what its reader
// refuses.
const float CollisionCacheMaxRadius = 100000.0f;

// Deepest tree and most children per node a read accepts. Built trees are
// a root over at most eight leaves; the depth cap only bounds the reader.
const int CollisionCacheMaxDepth = 16;

// "gen\\data\\collision\\" + prefix + "_" + mesh name + ".col", without the
// prefix and "_" when the prefix is empty. Empty when the names would not make
// a plain file of that folder (IsPlainFileName): names come from data files,
// and a cache must never be read or written outside its folder.
std::string CollisionModelPath(const std::string& prefix, const std::string& meshName);
// "gen\\data\\collision\\" + name + ".sph"; empty likewise.
std::string BoundingSpherePath(const std::string& name);

std::string FormatCollisionModel(const CCollisionModel& model);
std::string FormatBoundingSphere(const Sphere& sphere);
// On failure out is left empty (no tree, no geometry).
bool ParseCollisionModel(const std::string& text, CCollisionModel& out);
bool ParseBoundingSphere(const std::string& text, Sphere& out);

CollisionCacheRead ReadCollisionModelFile(const std::string& path, CCollisionModel& out);
CollisionCacheRead ReadBoundingSphereFile(const std::string& path, Sphere& out);
// False when the file could not be written; nothing is reported.
bool WriteCollisionModelFile(const std::string& path, const CCollisionModel& model);
bool WriteBoundingSphereFile(const std::string& path, const Sphere& sphere);
// Writes path + ".tmp", then replaces path with it.
bool WriteFileReplacing(const std::string& path, const std::string& text);

#endif
