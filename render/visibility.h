// View-volume culling. The world owns one CVisibilityLists; every world
// update rebuilds its planes from the current camera and sorts each of the
// world's object collections into a visible list, which the world renderer
// draws. The terrain and the projectiles ask it about single spheres and
// points.
//
// The record does not know the world's object types: the world hands it each
// collection through CCullSource as entries of an object pointer and its
// bounding sphere.
#ifndef RENDER_VISIBILITY_H
#define RENDER_VISIBILITY_H

#include <vector>

#include "core/geometry.h"
#include "core/vector.h"

// The record's lists, by name. The part lists are filled only by the
// hierarchical descent; the further collection is listed but never drawn.
enum VisibilityList {
	VisSoldiers = 0,
	VisSoldierParts,
	VisSoldierScrap,
	VisVehicles,
	VisVehicleParts,
	VisVehicleScrap,
	VisGenerics,
	VisGenericParts,
	VisFurther,
	VisWeapons,
	VisGrenades,
	VisProjectiles,
	VisListCount
};

// A model tree whose pieces can be culled one by one.
class CCullTree {
public:
	virtual int GetCullChildCount() const = 0;
	virtual const CCullTree *GetCullChild(int index) const = 0;
	virtual Sphere GetCullSphere() const = 0;

protected:
	~CCullTree() {}
};

// What the pass needs of one object of a collection.
struct CullEntry {
	void *object = nullptr;          // what goes into the visible list
	Sphere bounds;                   // projectiles: the position, radius 0
	const CCullTree *tree = nullptr; // for the hierarchical descent; may be null
	float health = 1.0f;             // soldiers: only those above 0 are listed
	int kind = 0;                    // projectiles: kinds 1 and 3 are never listed
};

// The world's collections, as the culling pass walks them.
class CCullSource {
public:
	// Fills out (emptied by the caller) with the entries of one collection;
	// asked only for lists that are not part lists.
	virtual void GetCullEntries(VisibilityList collection, std::vector<CullEntry> &out) = 0;

protected:
	~CCullSource() {}
};

// A plane a, b, c, d (as x, y, z, w): the signed distance of p is
// a p.x + b p.y + c p.z + d, and inside means positive.
typedef Vector4 Plane;

class CVisibilityLists {
public:
	explicit CVisibilityLists(CCullSource *source = nullptr);

	void SetSource(CCullSource *source) { this->source = source; }

	// Projection as the 3D draws build it (45 degrees, heightOverWidth,
	// near, far), and the farthest distance worth drawing. The main game
	// uses 0.75, 1.0, 2500.0, 2500.0. Until it is called no plane but the
	// far one is built, and with a cull distance of 0 not that either.
	void SetPerspective(float heightOverWidth, float nearPlane, float farPlane, float cullDistance);
	void SetPlanes(const std::vector<Plane> &planes);

	// With rebuildPlanes the planes come from CurrentCamera (none without a
	// camera: the pass then ends there). Then every collection is sorted.
	void Cull(bool rebuildPlanes);
	// Empties every visible and part list (the objects they point at are
	// going); the planes stay.
	void ClearLists();

	// 1 outside, -1 crossing a plane, 0 inside. No planes: inside.
	int ClassifySphere(const Sphere &s) const;
	// True at the first plane the point is not strictly inside.
	bool IsPointOutside(const Vector3 &p) const;

	// Children first, each whatever its parent's result, then the tree's own
	// sphere; everything not outside is appended to the list.
	void CollectVisible(const CCullTree *tree, std::vector<const CCullTree *> &list) const;
	// CollectVisible into the soldier (0), vehicle (1) or generic (2) part list.
	void CullByKind(int kind, const CCullTree *tree);

	const std::vector<void *> &GetList(VisibilityList which) const { return lists[which]; }
	const std::vector<const CCullTree *> &GetPartList(VisibilityList which) const {
		return partLists[which];
	}
	const std::vector<Plane> &GetPlanes() const { return planes; }
	const float *GetProjection() const { return projection; }
	float GetNear() const { return nearPlane; }
	float GetCullDistance() const { return cullDistance; }
	void SetHierarchical(bool on) { hierarchical = on; }
	bool IsHierarchical() const { return hierarchical; }

private:
	void BuildPlanes();
	void AddPlane(const Plane &plane);
	void CullCollection(VisibilityList collection, VisibilityList partList);
	void CullProjectiles();

	CCullSource *source;
	std::vector<void *> lists[VisListCount];
	std::vector<const CCullTree *> partLists[VisListCount]; // used at the three part indices
	std::vector<Plane> planes;
	float projection[16];
	float nearPlane;
	float cullDistance;
	bool hierarchical;
	std::vector<CullEntry> scratch;
};

// A simpler volume straight from the current camera's eye and target: depth
// along the view between near and far, sideways within the slopes.
class CViewVolume {
public:
	CViewVolume();

	// Takes eye and view from CurrentCamera; keeps in the first list every
	// object of the source's collections whose sphere passes.
	void Update(CCullSource *source);
	bool SphereInside(const Sphere &s) const;
	bool PointInside(const Vector3 &p) const;

	const std::vector<void *> &GetList(int which) const { return lists[which]; }

private:
	bool SetFromCamera();

	std::vector<void *> lists[7];
	float horizontalSlope;
	float verticalSlope;
	float nearDepth;
	float farDepth;
	Vector3 eye, view, right, up;
};

#endif
