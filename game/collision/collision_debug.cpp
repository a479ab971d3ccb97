// Debug drawing of collision shapes through the immediate-mode helpers, so
// both back-ends draw them alike. Nothing in the game calls these.
#include "core/matrix.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_model.h"
#include "render/backend.h"
#include "render/resources.h"

namespace {

const uint32_t White = 0xFFFFFFFF;
const uint32_t Red = 0xFF0000FF;
const uint32_t Green = 0xFF00FF00;
const uint32_t Blue = 0xFFFF0000;
const uint32_t Yellow = 0xFF00FFFF;
const uint32_t Cyan = 0xFFFFFF00;
const float NormalLength = 0.5f;

void Line(const Vector3& a, const Vector3& b, uint32_t colour) {
    SetVertexColour(colour);
    AddVertex(a.x, a.y, a.z);
    SetVertexColour(colour);
    AddVertex(b.x, b.y, b.z);
}

bool TriangleValid(const CollisionGeometry& g, int32_t offset) {
    if (offset < 0 || (size_t)offset + 2 >= g.indices.size() || (size_t)offset / 3 >= g.normals.size())
        return false;
    for (int k = 0; k < 3; k++) {
        int32_t v = g.indices[offset + k];
        if (v < 0 || (size_t)v >= g.vertices.size())
            return false;
    }
    return true;
}

void DrawTriangleList(const CCollisionNode& node, const CollisionGeometry& g, uint32_t colour,
                      uint32_t normalColour) {
    BeginPrimitive(PRIM_TRIANGLES);
    for (int32_t offset : node.triangles) {
        if (!TriangleValid(g, offset))
            continue;
        for (int k = 0; k < 3; k++) {
            const Vector3& v = g.vertices[g.indices[offset + k]];
            SetVertexColour(colour);
            AddVertex(v.x, v.y, v.z);
        }
    }
    EndPrimitive();
    BeginPrimitive(PRIM_LINES);
    for (int32_t offset : node.triangles) {
        if (!TriangleValid(g, offset))
            continue;
        Vector3 centre;
        for (int k = 0; k < 3; k++)
            Vector3MultiplyAdd(centre, centre, g.vertices[g.indices[offset + k]], 1.0f / 3.0f);
        Vector3 tip;
        Line(centre, Vector3MultiplyAdd(tip, centre, g.normals[offset / 3], NormalLength),
             normalColour);
    }
    EndPrimitive();
}

void PrepareNodes(CCollisionInstance& instance, CCollisionNode* node) {
    instance.UpdateNodeBox(node);
    instance.UpdateNodeGeometry(node);
    for (CCollisionNode* child : node->children)
        PrepareNodes(instance, child);
}

} // namespace

void CCollisionNode::DebugDrawSphere(const Sphere& sphere) {
    BeginPrimitive(PRIM_LINES);
    const Vector3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const Vector3& axis : axes) {
        Vector3 a, b;
        Vector3MultiplyAdd(a, sphere.centre, axis, -sphere.radius);
        Vector3MultiplyAdd(b, sphere.centre, axis, sphere.radius);
        Line(a, b, White);
    }
    EndPrimitive();
}

void CCollisionNode::DebugDrawBox() const {
    BeginPrimitive(PRIM_LINES);
    const uint32_t colours[3] = {Red, Green, Blue};
    for (int i = 0; i < 3; i++) {
        Vector3 tip;
        Line(box.centre, Vector3MultiplyAdd(tip, box.centre, box.axis[i], box.halfExtent[i]),
             colours[i]);
    }
    EndPrimitive();
    for (const CCollisionNode* child : children)
        child->DebugDrawBox();
}

void CCollisionNode::DebugDrawHull(const CollisionGeometry& geometry) const {
    DrawTriangleList(*this, geometry, Yellow, Yellow);
}

void CCollisionNode::DebugDrawTriangles(const CollisionGeometry& geometry) const {
    if (children.empty()) {
        DrawTriangleList(*this, geometry, White, Cyan);
        return;
    }
    for (const CCollisionNode* child : children)
        child->DebugDrawTriangles(geometry);
}

void DebugDrawParts(CCollisionPart* part, CollisionDebugShape shape) {
    if (!part)
        return;
    CCollisionInstance& inst = part->instance;
    if (inst.attached && inst.root) {
        PrepareNodes(inst, inst.root);
        switch (shape) {
        case COLLISION_DEBUG_SPHERES:
            CCollisionNode::DebugDrawSphere(inst.sphere);
            break;
        case COLLISION_DEBUG_BOXES:
            inst.root->DebugDrawBox();
            break;
        case COLLISION_DEBUG_HULLS:
            inst.root->DebugDrawHull(inst.geometry);
            break;
        case COLLISION_DEBUG_TRIANGLES:
            inst.root->DebugDrawTriangles(inst.geometry);
            break;
        }
    }
    for (CCollisionPart* child : part->children)
        DebugDrawParts(child, shape);
}

void CCollisionBody::DebugDraw() const {
    if (!attached)
        return;
    DisableTexturing();
    SetCullMode(CULL_CLOCKWISE);
    Matrix4 identity;
    SetWorldMatrix(Matrix4Identity(identity));
    CCollisionNode::DebugDrawSphere(sphere);
}
