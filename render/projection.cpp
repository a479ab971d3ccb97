#include "render/projection.h"

#include <cmath>
#include <cstring>

#include "render/render_setup.h"

// Below these lengths a direction is not worth normalising.
static const float DegenerateLength = 0.00001f;

// The 3D pass's projection, viewport and view as ProjectToScreen reads them.
// Kept apart from what the back-end holds, which the 2D set-up replaces.
namespace {
struct KeptScene {
	float projection[16];
	ViewportRect viewport;
	Matrix4 view;
	KeptScene() : viewport{0, 0, 800, 600} {
		Matrix4Identity(view);
		std::memcpy(projection, view.m, sizeof(projection));
	}
};
KeptScene &Kept() {
	static KeptScene kept;
	return kept;
}
} // namespace

void SetPerspective(int x, int y, int width, int height, float nearPlane, float farPlane) {
	if (IsDeviceLost()) {
		return;
	}
	SetViewport(x, y, width, height);
	Matrix4 projection;
	MakePerspectiveMatrix(projection, PerspectiveFieldOfView, (float)height / (float)width,
	                      nearPlane, farPlane);
	std::memcpy(Kept().projection, projection.m, sizeof(Kept().projection));
	Kept().viewport = ViewportRect{x, y, width, height};
	SetCurrentProjection(projection.m);
	SetProjectionMatrix(projection);
}

void ApplySceneView(const Matrix4 &view) {
	Kept().view = view;
	SetViewMatrix(view);
}

bool LookAt(const Vector3 &eye, Matrix4 &out, const Vector3 &up, const Vector3 &target) {
	Vector3 f, r, u;
	Vector3Subtract(f, target, eye);
	float fl = Vector3Length(f);
	if (!(fl >= DegenerateLength)) {
		return false;
	}
	Vector3Scale(f, f, 1.0f / fl);
	Vector3Cross(r, up, f);
	float rl = Vector3Length(r);
	if (!(rl >= DegenerateLength)) {
		return false;
	}
	Vector3Scale(r, r, 1.0f / rl);
	Vector3Cross(u, f, r);

	const Vector3 *rows[3] = {&r, &u, &f};
	for (int i = 0; i < 3; i++) {
		out.m[i * 4 + 0] = rows[i]->x;
		out.m[i * 4 + 1] = rows[i]->y;
		out.m[i * 4 + 2] = rows[i]->z;
		out.m[i * 4 + 3] = -Vector3Dot(*rows[i], eye);
	}
	out.m[12] = 0.0f;
	out.m[13] = 0.0f;
	out.m[14] = 0.0f;
	out.m[15] = 1.0f;
	return true;
}

Matrix4 &ViewProjection(Matrix4 &out, const Matrix4 &view, const float projection[16]) {
	Matrix4 q;
	std::memcpy(q.m, projection, sizeof(q.m));
	return Matrix4Multiply(out, q, view);
}

bool ProjectPoint(const Vector3 &world, const Matrix4 &view, const ViewportRect &viewport,
                  Vector3 &out, const float projection[16]) {
	Vector4 e;
	Matrix4TransformVector4(e, view, Vector4{world.x, world.y, world.z, 1.0f});
	// On or behind the eye plane the division below would mirror the point
	// onto the screen.
	if (!(e.z > 0.0f)) {
		return false;
	}
	Matrix4 q;
	std::memcpy(q.m, projection, sizeof(q.m));
	Vector4 c;
	Matrix4TransformVector4(c, q, e);
	if (!(std::fabs(c.w) >= 0.00001f)) {
		return false;
	}
	out.x = (1.0f - c.x / c.w) * viewport.width / 2.0f + viewport.x;
	out.y = (c.y / c.w + 1.0f) * viewport.height / 2.0f + viewport.y;
	out.z = (c.z / c.w + 1.0f) / 2.0f;
	return true;
}

bool ProjectToScreen(Vector3 &out, const Vector3 &world) {
	return ProjectPoint(world, Kept().view, Kept().viewport, out, Kept().projection);
}

bool UnprojectPoint(const Vector3 &screen, const Matrix4 &view, const ViewportRect &viewport,
                    Vector3 &out, const float projection[16]) {
	if (viewport.width == 0 || viewport.height == 0) {
		return false;
	}
	Matrix4 m, inverse;
	ViewProjection(m, view, projection);
	Matrix4Inverse(inverse, m);
	Vector4 clip{((screen.x - viewport.x) / viewport.width - 0.5f) * -2.0f,
	             ((screen.y - viewport.y) / viewport.height - 0.5f) * 2.0f, screen.z, 1.0f};
	Vector4 p;
	Matrix4TransformVector4(p, inverse, clip);
	if (!(std::fabs(p.w) >= 0.00001f) || !std::isfinite(p.x) || !std::isfinite(p.y) ||
	    !std::isfinite(p.z)) {
		return false;
	}
	out = Vector3{p.x / p.w, p.y / p.w, p.z / p.w};
	return true;
}

bool UnprojectFromScreen(Vector3 &out, const Vector3 &screen) {
	return UnprojectPoint(screen, Kept().view, Kept().viewport, out, Kept().projection);
}
