// The perspective, the view matrix and the mapping of world points to the
// screen.
//
// The perspective is 16 floats in the order they are loaded into the
// graphics interface: [s*h/w,0,0,0, 0,s,0,0, 0,0,f/(f-n),1, 0,0,n*f/(n-f),0]
// with s = 1/tan(pi/8). The graphics interface reads each group of four as a
// column, so view space looks along +z and depth runs 0..1 from near to far.
// ProjectPoint and culling read the same floats as a row-major matrix Q.
//
// The view matrix of LookAt has the rows (R, -R.eye), (U, -U.eye),
// (F, -F.eye), (0, 0, 0, 1) with F = unit(target - eye), R = unit(up x F),
// U = F x R. In the z-up world, looking along +y with up +z gives R = -x:
// world -x is on the right of the screen.
#ifndef RENDER_PROJECTION_H
#define RENDER_PROJECTION_H

#include "core/matrix.h"
#include "core/vector.h"
#include "render/backend.h"

// Vertical field of view of every 3D draw (45 degrees).
const float PerspectiveFieldOfView = 0.78539819f;

// Viewport, then the perspective for the viewport's height / width; both are
// also kept for ProjectToScreen, so a 2D set-up loaded afterwards does not
// change where a world point lands. Nothing while the graphics are lost.
void SetPerspective(int x, int y, int width, int height, float nearPlane, float farPlane);
// Loads a camera's view matrix and keeps it for ProjectToScreen.
void ApplySceneView(const Matrix4 &view);

// The view matrix. When eye and target coincide or up lies along the view,
// no view exists: false, and out keeps what it held.
bool LookAt(const Vector3 &eye, Matrix4 &out, const Vector3 &up, const Vector3 &target);

// Screen position (pixels from the viewport's top-left corner; z the depth
// 0..1) of a world point. False, with out untouched, for a point on or
// behind the eye plane.
bool ProjectPoint(const Vector3 &world, const Matrix4 &view, const ViewportRect &viewport,
                  Vector3 &out, const float projection[16]);
// ProjectPoint with the kept view, projection and viewport of the 3D pass.
bool ProjectToScreen(Vector3 &out, const Vector3 &world);

// The inverse: a screen point (pixels) and a depth in clip units (z / w)
// back to the world. False when the view and projection give no inverse.
bool UnprojectPoint(const Vector3 &screen, const Matrix4 &view, const ViewportRect &viewport,
                    Vector3 &out, const float projection[16]);
bool UnprojectFromScreen(Vector3 &out, const Vector3 &screen);

// Q x View: the matrix whose rows give the screen position of a world point
// and the side planes of the view volume.
Matrix4 &ViewProjection(Matrix4 &out, const Matrix4 &view, const float projection[16]);

#endif
