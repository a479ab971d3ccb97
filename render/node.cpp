#include "render/node.h"

#include <algorithm>
#include <cassert>

#include "render/backend.h"
#include "render/mesh_cache.h"
#include "render/shader.h"

namespace {

void Unlink(std::vector<CNode*>& children, const CNode* node) {
    children.erase(std::remove(children.begin(), children.end(), node), children.end());
}

}  // namespace

CNode::CNode()
    : dirty(false), owned(true), parent(nullptr), word(0) {
    Matrix4Identity(worldMatrix);
    Matrix3Identity(rotation);
    // Nothing reads the rest pose before the first bind, but keep it sane.
    Matrix3Identity(bindRotation);
}

CNode::CNode(const CNode& other) : CNode() {
    Assign(other);
}

CNode& CNode::operator=(const CNode& other) {
    Assign(other);
    return *this;
}

CNode::~CNode() {
    if (parent)
        Unlink(parent->children, this);
    parent = nullptr;
    std::vector<CNode*> mine;
    mine.swap(children);
    for (CNode* child : mine) {
        child->parent = nullptr;   // so its destructor does not touch our list
        if (child->owned)
            delete child;
    }
}

void CNode::Assign(const CNode& other) {
    if (this == &other)
        return;
    // Copy the other's owned children first: the other may be one of ours.
    std::vector<CNode*> copies;
    for (const CNode* child : other.children) {
        if (child->owned)
            copies.push_back(new CNode(*child));
    }
    worldMatrix = other.worldMatrix;
    dirty = other.dirty;
    position = other.position;
    rotation = other.rotation;
    bindRotation = other.bindRotation;
    bindQuaternion = other.bindQuaternion;
    name = other.name;
    word = other.word;
    mesh = other.mesh;

    if (parent)
        Unlink(parent->children, this);
    parent = nullptr;
    owned = true;

    std::vector<CNode*> old;
    old.swap(children);
    for (CNode* child : old) {
        child->parent = nullptr;
        if (child->owned)
            delete child;
    }
    for (CNode* copy : copies) {
        copy->parent = this;
        children.push_back(copy);
    }
}

// A dirty node's subtree is dirty already: a node is made clean only after
// its parent (GetWorldMatrix), and marking always reaches every descendant.
void CNode::MarkDirty() {
    if (dirty)
        return;
    dirty = true;
    for (CNode* child : children)
        child->MarkDirty();
}

void CNode::SetPosition(const Vector3& p) {
    MarkDirty();
    position = p;
}

void CNode::SetRotation(const Matrix3& r, bool bind) {
    MarkDirty();
    rotation = r;
    if (bind) {
        bindRotation = r;
        QuaternionFromMatrix3(bindQuaternion, r);
    }
}

void CNode::SetMatrix(const Matrix4& matrix) {
    MarkDirty();
    worldMatrix = matrix;
    Matrix3FromMatrix4(rotation, matrix);
    Matrix4GetTranslation(position, matrix);
}

void CNode::GetLocalMatrix(Matrix4& out) const {
    Matrix4FromMatrix3(out, rotation);
    out.m[3] = position.x;
    out.m[7] = position.y;
    out.m[11] = position.z;
}

const Matrix4& CNode::GetWorldMatrix() {
    if (dirty) {
        dirty = false;
        Matrix4 local;
        GetLocalMatrix(local);
        if (parent)
            Matrix4Multiply(worldMatrix, parent->GetWorldMatrix(), local);
        else
            worldMatrix = local;
    }
    return worldMatrix;
}

void CNode::AttachTo(bool keepWorld, CNode* newParent, bool ownedByParent) {
    assert(parent == nullptr && "detach before attaching");
    assert(!newParent->IsSelfOrAncestor(this) && "a node cannot go below itself");
    if (keepWorld) {
        Matrix4 inverse, local;
        Matrix4Inverse(inverse, newParent->GetWorldMatrix());
        Matrix4Multiply(local, inverse, GetWorldMatrix());
        SetMatrix(local);
    }
    newParent->children.push_back(this);
    parent = newParent;
    owned = ownedByParent;
    MarkDirty();
}

void CNode::Detach(bool keepWorld) {
    if (!parent)
        return;
    if (keepWorld) {
        Matrix4 world = GetWorldMatrix();
        SetMatrix(world);
    }
    Unlink(parent->children, this);
    owned = true;
    parent = nullptr;
    MarkDirty();
}

void CNode::AddChild(CNode* parent, CNode* child) {
    child->AttachTo(false, parent, true);
}

void CNode::CollectDescendants(std::vector<CNode*>& out) const {
    for (CNode* child : children) {
        child->CollectDescendants(out);
        out.push_back(child);
    }
}

bool CNode::IsSelfOrAncestor(const CNode* node) const {
    for (const CNode* n = this; n; n = n->parent) {
        if (n == node)
            return true;
    }
    return false;
}

void CNode::Draw(bool withChildren) {
    if (withChildren) {
        for (CNode* child : children)
            child->Draw(true);
    }
    if (mesh.GetChunkCount() > 0) {
        SetWorldMatrix(GetWorldMatrix());
        SetStandardMatrices();
        mesh.Draw();
    }
}

bool CNode::WriteToBytes(std::vector<uint8_t>& out) const {
    std::vector<uint8_t> bytes;
    WriteI32(bytes, word);
    if (!WriteString(bytes, name) || !WriteString(bytes, mesh.GetName()))
        return false;
    size_t countAt = bytes.size();
    WriteU8(bytes, 0);
    unsigned count = 0;
    for (const CNode* child : children) {
        if (!child->owned)
            continue;
        if (++count > 255 || !WriteString(bytes, child->name))
            return false;
    }
    bytes[countAt] = (uint8_t)count;
    WriteF32(bytes, position.x);
    WriteF32(bytes, position.y);
    WriteF32(bytes, position.z);
    for (float f : rotation.m)
        WriteF32(bytes, f);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return true;
}

size_t CNode::ReadFromBytes(const uint8_t* bytes, size_t size, std::vector<std::string>& childNames) {
    ByteReader in(bytes, size);
    int32_t w = in.I32();
    std::string n = in.String();
    std::string meshName = in.String();
    unsigned count = in.U8();
    // The names go straight onto the list and are taken back if the record is cut.
    size_t listed = childNames.size();
    for (unsigned i = 0; i < count && in.ok; i++)
        childNames.push_back(in.String());
    Vector3 p;
    p.x = in.F32();
    p.y = in.F32();
    p.z = in.F32();
    Matrix3 r;
    for (float& f : r.m)
        f = in.F32();
    if (!in.ok) {
        childNames.resize(listed);
        return 0;
    }
    word = w;
    name = n;
    if (mesh.GetRecord())
        mesh.GetRecord()->name = meshName;
    SetPosition(p);
    SetRotation(r, true);
    return in.pos;
}
