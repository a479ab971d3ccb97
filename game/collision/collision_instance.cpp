// Collision instances: an object's copy of a shared model, brought into
// world space lazily.
#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "game/collision/collision_cache.h"
#include "game/collision/collision_model.h"
#include "render/mesh.h"

namespace {

const float TransformTolerance = 0.00001f;

Vector3 Rotate(const Matrix4& m, const Vector3& v) {
    const float* e = m.m;
    return Vector3{e[0] * v.x + e[1] * v.y + e[2] * v.z, e[4] * v.x + e[5] * v.y + e[6] * v.z,
                   e[8] * v.x + e[9] * v.y + e[10] * v.z};
}

// Points each node of the instance's tree at the model's node at the same
// place.
void PairSources(CCollisionNode* node, const CCollisionNode* modelNode) {
    node->source = modelNode;
    node->boxDone = 0;
    node->geometryDone = 0;
    for (size_t i = 0; i < node->children.size() && i < modelNode->children.size(); i++)
        PairSources(node->children[i], modelNode->children[i]);
}

} // namespace

CCollisionInstance::CCollisionInstance()
    : root(nullptr), model(nullptr), attached(false), state(0) {
    Matrix4Identity(worldMatrix);
}

CCollisionInstance::CCollisionInstance(const CCollisionInstance& other) : CCollisionInstance() {
    Assign(other);
}

CCollisionInstance& CCollisionInstance::operator=(const CCollisionInstance& other) {
    Assign(other);
    return *this;
}

CCollisionInstance::~CCollisionInstance() {
    Reset();
}

bool CCollisionInstance::Attach(const CMesh& mesh, const std::string& prefix, bool noTree) {
    const MeshRecord* record = mesh.GetRecord();
    if (!record || record->collisionPositions.size() * sizeof(Vector3) < 32)
        return false;
    Reset();
    // Without a cache path (names that would leave the cache folder) the
    // model is built, kept unnamed and shared with no one.
    std::string path = CollisionModelPath(prefix, record->name);
    if (path.empty())
        ReportError("Error", "CCollisionInstance::Attach()-no cache file for the names \"" +
                                 prefix + "\", \"" + record->name + "\"");
    else if (AttachByName(path)) {
        state = 3;
        return true;
    }
    CCollisionModel loaded;
    CollisionCacheRead read =
        path.empty() ? CollisionCacheMissing : ReadCollisionModelFile(path, loaded);
    if (read != CollisionCacheGood) {
        if (read == CollisionCacheBad)
            ReportError("Error", "CCollisionInstance::Attach()-rebuilding bad collision cache " + path);
        if (!BuildCollisionModel(record->collisionPositions, record->collisionIndices, noTree,
                                 loaded))
            return false;
        if (!path.empty())
            WriteCollisionModelFile(path, loaded);
    }
    AdoptNewModel(loaded, path);
    state = 3;
    return true;
}

void CCollisionInstance::AdoptNewModel(CCollisionModel& built, const std::string& path) {
    sphere = built.sphere;
    root = built.root;
    built.root = nullptr;
    geometry = std::move(built.geometry);
    CCollisionModel* entry = CCollisionModel::Add(*this, path);
    if (root && entry->root)
        PairSources(root, entry->root);
    attached = true;
    Matrix4Identity(worldMatrix);
}

bool CCollisionInstance::AttachByName(const std::string& path) {
    CCollisionModel* entry = CCollisionModel::Find(path);
    if (!entry)
        return false;
    // Counted before letting go of our own model, which may be this entry.
    entry->refCount++;
    Reset();
    ShareModel(entry);
    return true;
}

void CCollisionInstance::ShareModel(CCollisionModel* entry) {
    sphere = entry->sphere;
    root = entry->root ? entry->root->CopyTree() : nullptr;
    geometry = entry->geometry;
    model = entry;
    attached = true;
    Matrix4Identity(worldMatrix);
}

void CCollisionInstance::Assign(const CCollisionInstance& other) {
    if (this == &other)
        return;
    if (!other.attached || !other.model) {
        Reset();
        return;
    }
    CCollisionModel* entry = other.model;
    entry->refCount++;
    Reset();
    sphere = other.sphere;
    root = other.root ? other.root->CopyTree() : nullptr;
    geometry = other.geometry;
    worldMatrix = other.worldMatrix;
    model = entry;
    attached = true;
    ResetFlags();
    state = 2;
}

void CCollisionInstance::Reset() {
    if (attached)
        CCollisionModel::Release(model);
    model = nullptr;
    attached = false;
    state = 0;
    geometry = CollisionGeometry();
    sphere = Sphere();
    delete root;
    root = nullptr;
    Matrix4Identity(worldMatrix);
}

void CCollisionInstance::SetTransform(const Matrix4& matrix) {
    bool moved = false;
    for (int i = 0; i < 16 && !moved; i++)
        moved = std::fabs(matrix.m[i] - worldMatrix.m[i]) > TransformTolerance;
    if (!moved || !attached)
        return;
    ResetFlags();
    worldMatrix = matrix;
    Matrix4TransformPoint(sphere.centre, matrix, model->sphere.centre);
}

void CCollisionInstance::ResetFlags() {
    if (root)
        root->ResetFlags();
}

void CCollisionInstance::UpdateNodeBox(CCollisionNode* node) {
    if (node->boxDone || !node->source)
        return;
    const OrientedBox& from = node->source->box;
    Matrix4TransformPoint(node->box.centre, worldMatrix, from.centre);
    for (int i = 0; i < 3; i++) {
        node->box.axis[i] = Rotate(worldMatrix, from.axis[i]);
        node->box.halfExtent[i] = from.halfExtent[i];
    }
    node->boxDone = 1;
}

// Every node's geometry is then in world space until the next move.
static void MarkGeometryDone(CCollisionNode* node) {
    node->geometryDone = 1;
    for (CCollisionNode* child : node->children)
        MarkGeometryDone(child);
}

void CCollisionInstance::TransformAllGeometry() {
    if (!attached || !model)
        return;
    const CollisionGeometry& from = model->geometry;
    size_t vertices = std::min(from.vertices.size(), geometry.vertices.size());
    for (size_t i = 0; i < vertices; i++)
        Matrix4TransformPoint(geometry.vertices[i], worldMatrix, from.vertices[i]);
    size_t normals = std::min(from.normals.size(), geometry.normals.size());
    for (size_t t = 0; t < normals; t++)
        geometry.normals[t] = Rotate(worldMatrix, from.normals[t]);
    if (root)
        MarkGeometryDone(root);
}

void CCollisionInstance::UpdateNodeGeometry(CCollisionNode* node) {
    if (node->geometryDone || !model)
        return;
    // Always from the model's vertices, never from our own transformed ones.
    const CollisionGeometry& from = model->geometry;
    for (int32_t i : node->indices) {
        if (i >= 0 && (size_t)i < from.vertices.size() && (size_t)i < geometry.vertices.size())
            Matrix4TransformPoint(geometry.vertices[i], worldMatrix, from.vertices[i]);
    }
    for (int32_t offset : node->triangles) {
        size_t t = (size_t)offset / 3;
        if (offset >= 0 && t < from.normals.size() && t < geometry.normals.size())
            geometry.normals[t] = Rotate(worldMatrix, from.normals[t]);
    }
    node->geometryDone = 1;
}
