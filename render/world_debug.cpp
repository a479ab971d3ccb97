// Immediate-mode debug shapes drawn in world space.
#include "core/matrix.h"
#include "render/backend.h"
#include "render/resources.h"
#include "render/world_render.h"

// Corner i is centre + (bit 0 ? +X : -X) + (bit 1 ? +Y : -Y) + (bit 2 ? +Z : -Z).
static Vector3 Corner(const Vector3& centre, const Vector3 axes[3], int i) {
    Vector3 p = centre;
    for (int a = 0; a < 3; a++) {
        Vector3 step;
        Vector3Scale(step, axes[a], (i >> a) & 1 ? 1.0f : -1.0f);
        Vector3Add(p, p, step);
    }
    return p;
}

static const uint32_t CornerColours[8] = {0xff0000ffu, 0xff00ff00u, 0xffff0000u, 0xff0000ffu,
                                          0xff00ff00u, 0xffff0000u, 0xff0000ffu, 0xff00ff00u};

void DrawWorldDebug(const Vector3& centre, const Matrix3& rotation, float size) {
    UnbindVertexBuffer();
    UnbindIndexBuffer();
    DisableTexturing();
    Vector3 axes[3];
    const Vector3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int a = 0; a < 3; a++) {
        Matrix3TransformVector3(axes[a], rotation, units[a]);
        Vector3Scale(axes[a], axes[a], size);
    }
    SetCullMode(CULL_CLOCKWISE);
    BeginPrimitive(PRIM_TRIANGLES);
    // Each face: its axis w fixed at one side, a cycle over the other two
    // axes, turned so it runs clockwise seen from outside.
    for (int w = 0; w < 3; w++) {
        int u = (w + 1) % 3, v = (w + 2) % 3;   // u x v points along +w
        for (int side = 0; side < 2; side++) {
            int base = side << w;
            int cycle[4] = {base, base | 1 << u, base | 1 << u | 1 << v, base | 1 << v};
            if (side == 1) {   // the cycle runs counter-clockwise seen from +w: reverse it
                int t = cycle[1];
                cycle[1] = cycle[3];
                cycle[3] = t;
            }
            const int order[6] = {0, 1, 2, 0, 2, 3};
            for (int k : order) {
                Vector3 p = Corner(centre, axes, cycle[k]);
                SetVertexColour(CornerColours[cycle[k]]);
                AddVertex(p.x, p.y, p.z);
            }
        }
    }
    EndPrimitive();
}

void DrawDebugLine(const Vector3& from, uint32_t fromColour, const Vector3& to, uint32_t toColour) {
    BeginPrimitive(PRIM_LINES);
    SetVertexColour(fromColour);
    AddVertex(from.x, from.y, from.z);
    SetVertexColour(toColour);
    AddVertex(to.x, to.y, to.z);
    EndPrimitive();
    SetVertexColour(0xffffffffu);
    FlushFrame();
}
