// Collision parts and bodies, and the shared bounding spheres.
#include "game/collision/collision_body.h"

#include <algorithm>

#include "core/error.h"
#include "core/strings.h"
#include "game/collision/body_grid.h"
#include "game/collision/collision_cache.h"
#include "render/model.h"
#include "render/node.h"

namespace {

void AttachChildren(CCollisionPart* part, CNode* sceneNode, const std::string& name) {
    for (CNode* childNode : sceneNode->children) {
        CCollisionPart* child = new CCollisionPart(childNode);
        part->AddChild(child);
        // A mesh without collision geometry leaves the part unattached.
        child->instance.Attach(childNode->mesh, name);
        AttachChildren(child, childNode, name);
    }
}

// Null when a model of the tree cannot be found by its name (an unnamed
// model is shared with no one): the copy would collide with less than the
// original.
CCollisionPart* CopyPartsByName(const CCollisionPart* from) {
    CCollisionPart* part = new CCollisionPart(from->node);
    if (from->instance.attached && from->instance.model &&
        !part->instance.AttachByName(from->instance.model->name)) {
        const std::string node = from->node ? from->node->name : std::string();
        ReportError("Error",
                    "CCollisionBody::AttachAsCopyOf()-no shared collision model for \"" + node + "\"");
        delete part;
        return nullptr;
    }
    for (const CCollisionPart* child : from->children) {
        CCollisionPart* copy = CopyPartsByName(child);
        if (!copy) {
            delete part;
            return nullptr;
        }
        part->AddChild(copy);
    }
    return part;
}

void SetPartTransforms(CCollisionPart* part) {
    part->instance.SetTransform(part->node->GetWorldMatrix());
    for (CCollisionPart* child : part->children)
        SetPartTransforms(child);
}

// relative: the part's node in the space of the body's root node, built from
// the local matrices down the tree so the root itself is exactly the
// identity, wherever the object stands.
float FarthestVertex(CCollisionPart* part, const Matrix4& relative, const Vector3& centre,
                     float farthest) {
    if (part->instance.attached && part->instance.model) {
        for (const Vector3& v : part->instance.model->geometry.vertices) {
            Vector3 p;
            Matrix4TransformPoint(p, relative, v);
            farthest = std::max(farthest, Vector3Distance(p, centre));
        }
    }
    for (CCollisionPart* child : part->children) {
        if (!child->node)
            continue;
        Matrix4 local, below;
        child->node->GetLocalMatrix(local);
        farthest = FarthestVertex(child, Matrix4Multiply(below, relative, local), centre, farthest);
    }
    return farthest;
}

} // namespace

// Never destroyed, like the model list.
std::list<BoundingSphereEntry*>& BoundingSphereList() {
    static std::list<BoundingSphereEntry*>& list = *new std::list<BoundingSphereEntry*>;
    return list;
}

BoundingSphereEntry* FindBoundingSphere(const std::string& path) {
    if (path.empty())
        return nullptr;   // unnamed spheres are never shared
    for (BoundingSphereEntry* entry : BoundingSphereList()) {
        if (EqualIgnoringCase(entry->name, path))
            return entry;
    }
    return nullptr;
}

CCollisionPart::CCollisionPart(CNode* sceneNode) : node(sceneNode), parent(nullptr) {}

CCollisionPart::~CCollisionPart() {
    std::vector<CCollisionPart*> owned;
    owned.swap(children);
    for (CCollisionPart* child : owned) {
        child->parent = nullptr;
        delete child;
    }
    if (parent)
        parent->RemoveChild(this);
}

void CCollisionPart::AddChild(CCollisionPart* child) {
    if (child->parent)
        child->parent->RemoveChild(child);
    child->parent = this;
    children.push_back(child);
}

bool CCollisionPart::RemoveChild(CCollisionPart* child) {
    auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end())
        return false;
    children.erase(it);
    child->parent = nullptr;
    return true;
}

CCollisionPart* CCollisionPart::FindPart(const CNode* sceneNode) {
    if (node == sceneNode)
        return this;
    for (CCollisionPart* child : children) {
        if (CCollisionPart* found = child->FindPart(sceneNode))
            return found;
    }
    return nullptr;
}

void CCollisionPart::DeleteTree(CCollisionPart* part) {
    delete part;
}

Sphere CCollisionPart::GetCullSphere() const {
    if (!node)
        return instance.sphere;
    const Matrix4& world = node->GetWorldMatrix();
    Sphere s;
    if (instance.attached && instance.model) {
        Matrix4TransformPoint(s.centre, world, instance.model->sphere.centre);
        s.radius = instance.model->sphere.radius;
    } else {
        Matrix4GetTranslation(s.centre, world);
    }
    return s;
}

Sphere ComputeBodySphere(CCollisionPart* root) {
    Sphere sphere;
    if (!root || !root->node)
        return sphere;
    // Measured in the root node's space, where Update places the sphere, so
    // an object that is already placed when it first attaches caches the
    // same sphere as one at the origin.
    Matrix4 relative;
    Matrix4Identity(relative);
    CCollisionPart* part = root;
    if (!root->instance.attached && root->children.size() == 1 && root->children[0]->node) {
        part = root->children[0];
        part->node->GetLocalMatrix(relative);
    }
    Matrix4GetTranslation(sphere.centre, relative);
    sphere.radius = FarthestVertex(part, relative, sphere.centre, 0.0f);
    return sphere;
}

CCollisionBody::CCollisionBody()
    : root(nullptr), sphereEntry(nullptr), attached(false), grid(nullptr), gridEntry(-1) {}

CCollisionBody::~CCollisionBody() {
    if (grid)
        grid->Remove(this);
    Release();
}

// A copy is not in the original's grid either: its owner is not listed there.
CCollisionBody::CCollisionBody(const CCollisionBody&) : CCollisionBody() {}

CCollisionBody& CCollisionBody::operator=(const CCollisionBody& other) {
    if (this != &other)
        Release();
    return *this;
}

// A moved body keeps its place in the grid at its new address.
CCollisionBody::CCollisionBody(CCollisionBody&& other) noexcept
    : root(other.root), sphere(other.sphere), sphereEntry(other.sphereEntry),
      attached(other.attached), grid(other.grid), gridEntry(other.gridEntry) {
    other.root = nullptr;
    other.sphereEntry = nullptr;
    other.sphere = Sphere();
    other.attached = false;
    other.grid = nullptr;
    other.gridEntry = -1;
    if (grid)
        grid->Rebind(gridEntry, this);
}

CCollisionBody& CCollisionBody::operator=(CCollisionBody&& other) noexcept {
    if (this == &other)
        return *this;
    if (grid)
        grid->Remove(this);
    Release();
    root = other.root;
    sphere = other.sphere;
    sphereEntry = other.sphereEntry;
    attached = other.attached;
    grid = other.grid;
    gridEntry = other.gridEntry;
    other.root = nullptr;
    other.sphereEntry = nullptr;
    other.sphere = Sphere();
    other.attached = false;
    other.grid = nullptr;
    other.gridEntry = -1;
    if (grid)
        grid->Rebind(gridEntry, this);
    return *this;
}

bool CCollisionBody::AttachForMesh(const CModel& model, const std::string& name) {
    return AttachForMesh(model.GetRoot(), name);
}

bool CCollisionBody::AttachForMesh(CNode* rootNode, const std::string& name) {
    if (!rootNode)
        return false;
    Release();
    CCollisionPart* top = new CCollisionPart(rootNode);
    if (!top->instance.Attach(rootNode->mesh, name) && rootNode->children.empty()) {
        delete top;
        return false;
    }
    AttachChildren(top, rootNode, name);
    root = top;
    TakeSphere(name);
    attached = true;
    Update();
    return true;
}

bool CCollisionBody::AttachAsCopyOf(const CCollisionBody& other) {
    if (&other == this)
        return attached;
    Release();
    if (!other.attached || !other.root || !other.sphereEntry)
        return false;
    root = CopyPartsByName(other.root);
    if (!root)
        return false;
    sphereEntry = other.sphereEntry;
    sphereEntry->refCount++;
    attached = true;
    Update();
    return true;
}

void CCollisionBody::TakeSphere(const std::string& name) {
    std::string path = BoundingSpherePath(name);
    BoundingSphereEntry* entry = FindBoundingSphere(path);
    if (!entry) {
        // Without a cache path (a name that would leave the cache folder)
        // the sphere is computed for this body alone.
        Sphere s;
        CollisionCacheRead read =
            path.empty() ? CollisionCacheMissing : ReadBoundingSphereFile(path, s);
        if (read != CollisionCacheGood) {
            if (read == CollisionCacheBad)
                ReportError("Error", "CCollisionBody::AttachForMesh()-rebuilding bad sphere cache " + path);
            s = ComputeBodySphere(root);
            if (!path.empty())
                WriteBoundingSphereFile(path, s);
        }
        entry = new BoundingSphereEntry;
        entry->name = path;
        entry->centre = s.centre;
        entry->radius = s.radius;
        BoundingSphereList().push_back(entry);
    }
    entry->refCount++;
    sphereEntry = entry;
}

void CCollisionBody::Release() {
    if (attached && sphereEntry && --sphereEntry->refCount <= 0) {
        std::list<BoundingSphereEntry*>& list = BoundingSphereList();
        auto it = std::find(list.begin(), list.end(), sphereEntry);
        if (it != list.end())
            list.erase(it);
        delete sphereEntry;
    }
    sphereEntry = nullptr;
    sphere = Sphere();
    attached = false;
    CCollisionPart::DeleteTree(root);
    root = nullptr;
    SphereChanged();
}

void CCollisionBody::Update() {
    if (attached && sphereEntry && root && root->node) {
        const Matrix4& world = root->node->GetWorldMatrix();
        Vector3 top{sphereEntry->centre.x, sphereEntry->centre.y,
                    sphereEntry->centre.z + sphereEntry->radius};
        Matrix4TransformPoint(sphere.centre, world, sphereEntry->centre);
        Matrix4TransformPoint(top, world, top);
        sphere.radius = Vector3Distance(sphere.centre, top);
    }
    SphereChanged();
}

void CCollisionBody::SphereChanged() {
    if (grid)
        grid->Moved(gridEntry);
}

void CCollisionBody::SetTransforms() {
    if (root)
        SetPartTransforms(root);
}
