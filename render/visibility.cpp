#include "render/visibility.h"

#include <cmath>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/projection.h"

CVisibilityLists::CVisibilityLists(CCullSource *source)
    : source(source), projection(), nearPlane(0.0f), cullDistance(0.0f), hierarchical(false) {
}

void CVisibilityLists::SetPerspective(float heightOverWidth, float nearPlane, float farPlane,
                                      float cullDistance) {
	Matrix4 m;
	MakePerspectiveMatrix(m, PerspectiveFieldOfView, heightOverWidth, nearPlane, farPlane);
	for (int i = 0; i < 16; i++) {
		projection[i] = m.m[i];
	}
	this->nearPlane = nearPlane;
	this->cullDistance = cullDistance;
}

void CVisibilityLists::SetPlanes(const std::vector<Plane> &planes) {
	this->planes = planes;
}

// A plane without a normal (from a projection never set, or an eye on its
// target) would make every test 0/0; it is left out instead.
void CVisibilityLists::AddPlane(const Plane &plane) {
	float length = std::sqrt(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z);
	if (!(length >= 0.000001f)) {
		return;
	}
	float s = 1.0f / length;
	planes.push_back(Plane{plane.x * s, plane.y * s, plane.z * s, plane.w * s});
}

static Plane Row(const Matrix4 &m, int row) {
	return Plane{m.m[row * 4], m.m[row * 4 + 1], m.m[row * 4 + 2], m.m[row * 4 + 3]};
}

static Plane Combine(float a, const Plane &p, float b, const Plane &q) {
	return Plane{a * p.x + b * q.x, a * p.y + b * q.y, a * p.z + b * q.z, a * p.w + b * q.w};
}

void CVisibilityLists::BuildPlanes() {
	CCamera *camera = CurrentCamera;
	Matrix4 view, m;
	camera->GetViewMatrix(view);
	// Rows of Q x View are the clip coordinates of a world point, so the
	// side planes are x = +-w and y = +-w in clip space. No near plane.
	ViewProjection(m, view, projection);
	Plane m0 = Row(m, 0), m1 = Row(m, 1), m3 = Row(m, 3);
	AddPlane(Combine(1.0f, m0, -1.0f, m3));
	AddPlane(Combine(-1.0f, m0, -1.0f, m3));
	AddPlane(Combine(1.0f, m1, -1.0f, m3));
	AddPlane(Combine(-1.0f, m1, -1.0f, m3));

	// Far plane: no farther than the cull distance along the view.
	if (cullDistance > 0.0f) {
		Vector3 d;
		Vector3Subtract(d, *camera->GetTarget(), *camera->GetPosition());
		float length = Vector3Length(d);
		if (length > 0.0f) {
			Vector3Scale(d, d, 1.0f / length);
			Vector3 f;
			Vector3MultiplyAdd(f, *camera->GetPosition(), d, cullDistance);
			AddPlane(Plane{-d.x, -d.y, -d.z, Vector3Dot(d, f)});
		}
	}
}

void CVisibilityLists::Cull(bool rebuildPlanes) {
	if (rebuildPlanes) {
		planes.clear();
		planes.reserve(6);
		if (!CurrentCamera) {
			return;
		}
		BuildPlanes();
	}
	CullCollection(VisSoldiers, VisSoldierParts);
	CullCollection(VisSoldierScrap, VisListCount);
	CullCollection(VisVehicles, VisVehicleParts);
	CullCollection(VisVehicleScrap, VisListCount);
	CullCollection(VisGenerics, VisGenericParts);
	CullCollection(VisFurther, VisListCount);
	CullCollection(VisWeapons, VisListCount);
	CullCollection(VisGrenades, VisListCount);
	CullProjectiles();
}

void CVisibilityLists::ClearLists() {
	for (int i = 0; i < VisListCount; i++) {
		lists[i].clear();
		partLists[i].clear();
	}
}

void CVisibilityLists::CullCollection(VisibilityList collection, VisibilityList partList) {
	std::vector<void *> &list = lists[collection];
	list.clear();
	if (partList != VisListCount) {
		// Refilled each pass like the visible list, or it would only grow.
		partLists[partList].clear();
	}
	if (!source) {
		return;
	}
	scratch.clear();
	source->GetCullEntries(collection, scratch);
	for (const CullEntry &entry : scratch) {
		if (collection == VisSoldiers && !(entry.health > 0.0f)) {
			continue;
		}
		int result = ClassifySphere(entry.bounds);
		if (result == 1) {
			continue;
		}
		if (result == -1 && hierarchical && partList != VisListCount && entry.tree) {
			CollectVisible(entry.tree, partLists[partList]);
			continue;
		}
		list.push_back(entry.object);
	}
}

void CVisibilityLists::CullProjectiles() {
	std::vector<void *> &list = lists[VisProjectiles];
	list.clear();
	if (!source) {
		return;
	}
	scratch.clear();
	source->GetCullEntries(VisProjectiles, scratch);
	for (const CullEntry &entry : scratch) {
		if (entry.kind == 1 || entry.kind == 3) {
			continue;
		}
		if (!IsPointOutside(entry.bounds.centre)) {
			list.push_back(entry.object);
		}
	}
}

static float PlaneDistance(const Plane &plane, const Vector3 &p) {
	return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

int CVisibilityLists::ClassifySphere(const Sphere &s) const {
	bool crossing = false;
	for (const Plane &plane : planes) {
		float t = PlaneDistance(plane, s.centre);
		if (t < -s.radius) {
			return 1;
		}
		if (t < s.radius) {
			crossing = true;
		}
	}
	return crossing ? -1 : 0;
}

bool CVisibilityLists::IsPointOutside(const Vector3 &p) const {
	for (const Plane &plane : planes) {
		if (PlaneDistance(plane, p) <= 0.0f) {
			return true;
		}
	}
	return false;
}

void CVisibilityLists::CollectVisible(const CCullTree *tree,
                                      std::vector<const CCullTree *> &list) const {
	int count = tree->GetCullChildCount();
	for (int i = 0; i < count; i++) {
		CollectVisible(tree->GetCullChild(i), list);
	}
	if (ClassifySphere(tree->GetCullSphere()) != 1) {
		list.push_back(tree);
	}
}

void CVisibilityLists::CullByKind(int kind, const CCullTree *tree) {
	static const VisibilityList partList[3] = {VisSoldierParts, VisVehicleParts, VisGenericParts};
	if (kind >= 0 && kind < 3) {
		CollectVisible(tree, partLists[partList[kind]]);
	}
}

// ---- CViewVolume --------------------------------------------------------------

CViewVolume::CViewVolume()
    : horizontalSlope(std::tan(0.5056219f)), verticalSlope(0.75f * std::tan(0.5056219f)),
      nearDepth(1.0f), farDepth(400.0f) {
	SetFromCamera();
}

bool CViewVolume::SetFromCamera() {
	if (!CurrentCamera) {
		return false;
	}
	eye = *CurrentCamera->GetPosition();
	Vector3 v;
	Vector3Subtract(v, *CurrentCamera->GetTarget(), eye);
	Vector3 r;
	Vector3Cross(r, v, Vector3{0.0f, 0.0f, 1.0f});
	float vl = Vector3Length(v), rl = Vector3Length(r);
	if (!(vl > 0.0f) || !(rl > 0.0f)) {
		return false; // straight up or down: keep the last volume
	}
	Vector3Scale(view, v, 1.0f / vl);
	Vector3Scale(right, r, 1.0f / rl);
	Vector3Cross(up, right, view);
	return true;
}

bool CViewVolume::SphereInside(const Sphere &s) const {
	Vector3 offset;
	Vector3Subtract(offset, s.centre, eye);
	float d = Vector3Dot(offset, view);
	if (d < nearDepth - s.radius || d > farDepth + s.radius) {
		return false;
	}
	return std::fabs(Vector3Dot(offset, right)) <= horizontalSlope * d + s.radius &&
	       std::fabs(Vector3Dot(offset, up)) <= verticalSlope * d + s.radius;
}

bool CViewVolume::PointInside(const Vector3 &p) const {
	return SphereInside(Sphere{p, 0.0f});
}

void CViewVolume::Update(CCullSource *source) {
	SetFromCamera();
	lists[0].clear();
	if (!source) {
		return;
	}
	std::vector<CullEntry> entries;
	for (int c = 0; c < VisListCount; c++) {
		VisibilityList collection = (VisibilityList)c;
		if (c == VisSoldierParts || c == VisVehicleParts || c == VisGenericParts) {
			continue;
		}
		entries.clear();
		source->GetCullEntries(collection, entries);
		for (const CullEntry &entry : entries) {
			if (SphereInside(entry.bounds)) {
				lists[0].push_back(entry.object);
			}
		}
	}
}
