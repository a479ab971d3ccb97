// Scene nodes: one bone of a model. A named local transform, a shared mesh and
// an array of children. The world matrix is cached; every setter dirties the
// whole subtree at once and GetWorldMatrix rebuilds lazily, pulling the
// parent's matrix through its own GetWorldMatrix.
#ifndef RENDER_NODE_H
#define RENDER_NODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/matrix.h"
#include "core/quaternion.h"
#include "core/vector.h"
#include "render/mesh.h"

// The deepest bone chain a model may hold. The tree walks (dirtying, world
// matrices, copying, drawing) recurse once per level, so the loaders refuse
// deeper files as malformed.
const int MaxNodeDepth = 1000;

class CNode {
public:
    CNode();
    // A fresh node, then Assign: an owned deep copy that shares the meshes.
    CNode(const CNode& other);
    CNode& operator=(const CNode& other);
    // Unlinks from the parent; deletes owned children, unlinks the others.
    ~CNode();

    // Copies the transform, name, word and shared mesh, drops this node's own
    // children and copies the other's owned children. The node leaves its
    // parent and becomes owned.
    void Assign(const CNode& other);

    void MarkDirty();
    void SetPosition(const Vector3& position);
    // With bind, also the rest pose (bind rotation and bind quaternion).
    void SetRotation(const Matrix3& rotation, bool bind);
    // Sets the local transform from the matrix (its 3x3 and translation).
    void SetMatrix(const Matrix4& matrix);
    const Matrix4& GetWorldMatrix();
    void GetLocalMatrix(Matrix4& out) const;

    // Appends the node to the parent's children. With keepWorld the local
    // transform is first changed so the world transform stays put. The node
    // must not have a parent: callers detach first.
    void AttachTo(bool keepWorld, CNode* newParent, bool ownedByParent);
    // Nothing for a root. The node becomes an owned root.
    void Detach(bool keepWorld);
    static void AddChild(CNode* parent, CNode* child);

    // Every descendant, each child's descendants before the child.
    void CollectDescendants(std::vector<CNode*>& out) const;
    // True when node is this node or one of its ancestors.
    bool IsSelfOrAncestor(const CNode* node) const;

    // Children first, then this node's mesh when it has chunks.
    void Draw(bool withChildren);

    // The node record of the mesh cache. WriteToBytes fails (writing
    // nothing) when a name or the child count does not fit its byte.
    bool WriteToBytes(std::vector<uint8_t>& out) const;
    // Bytes used; 0 when the record is cut short.
    size_t ReadFromBytes(const uint8_t* bytes, size_t size, std::vector<std::string>& childNames);

    // What the per-update walks (dirtying, posing, world matrices) read
    // comes first, packed into few cache lines: a battle poses thousands.
    // The soldier prefetch (game/soldiers/soldier_prefetch.cpp) loads the
    // bytes before bindRotation: keep the per-update fields above it.
    bool dirty;
    bool owned;
    CNode* parent;
    std::vector<CNode*> children;
    Quaternion bindQuaternion;
    Vector3 position;
    Matrix3 rotation;
    Matrix4 worldMatrix;
    Matrix3 bindRotation;
    int32_t word;
    std::string name;
    CMesh mesh;
};

#endif
