// Collision bodies: one per solid object. A tree of parts that mirrors the
// object's scene-node tree, each part holding the collision instance of its
// node's mesh, and one bounding sphere for the whole object, shared by name
// through BoundingSphereList and cached in a ".sph" file.
#ifndef GAME_COLLISION_BODY_H
#define GAME_COLLISION_BODY_H

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "game/collision/collision_model.h"
#include "render/visibility.h"

class CBodyGrid;
class CModel;
class CNode;

struct BoundingSphereEntry {
    std::string name;   // the ".sph" path
    Vector3 centre;     // in the space of the object's root scene node
    float radius = 0.0f;
    int32_t refCount = 0;
};

std::list<BoundingSphereEntry*>& BoundingSphereList();
// The first entry of that name, ignoring case; null when there is none.
BoundingSphereEntry* FindBoundingSphere(const std::string& path);

// A part is also a piece the culling pass can test on its own: the world
// hands its bodies' part trees to the hierarchical descent.
class CCollisionPart final : public CCullTree {
public:
    explicit CCollisionPart(CNode* sceneNode);
    // Deletes the child parts and leaves the parent's list.
    ~CCollisionPart();
    CCollisionPart(const CCollisionPart&) = delete;
    CCollisionPart& operator=(const CCollisionPart&) = delete;

    // Appends child (taken out of any other part) and takes it over.
    void AddChild(CCollisionPart* child);
    // Unlinks child; the caller then owns it. False when it is not a child.
    bool RemoveChild(CCollisionPart* child);
    // The part of that scene node here or below; null when there is none.
    CCollisionPart* FindPart(const CNode* sceneNode);
    int GetChildCount() const { return (int)children.size(); }
    // Deletes the part with every part below it.
    static void DeleteTree(CCollisionPart* part);

    // CCullTree. The sphere is the model's around the node where it stands
    // now; a part without a model is the node's point.
    int GetCullChildCount() const override { return (int)children.size(); }
    const CCullTree* GetCullChild(int index) const override { return children[(size_t)index]; }
    Sphere GetCullSphere() const override;

    CCollisionInstance instance;
    CNode* node;   // the scene node whose mesh the part carries
    std::vector<CCollisionPart*> children;   // owned
    CCollisionPart* parent;
};

class CCollisionBody {
public:
    CCollisionBody();
    ~CCollisionBody();
    // A copy starts detached: the parts would point at the other object's
    // scene nodes. The owner attaches it to its own model.
    CCollisionBody(const CCollisionBody& other);
    CCollisionBody& operator=(const CCollisionBody& other);
    CCollisionBody(CCollisionBody&& other) noexcept;
    CCollisionBody& operator=(CCollisionBody&& other) noexcept;

    // Parts for the model's scene nodes, meshes attached with name as the
    // cache prefix, then the sphere of the ".sph" named name. False when
    // there is no root node, or the root has neither a collision mesh nor
    // children.
    bool AttachForMesh(const CModel& model, const std::string& name);
    bool AttachForMesh(CNode* rootNode, const std::string& name);
    // A second body over another body's scene nodes: a part for each of its
    // parts' nodes, sharing that part's listed model by name, and the same
    // sphere entry. False (detached) when the other is not attached, or when
    // one of its models has no name to be found by.
    bool AttachAsCopyOf(const CCollisionBody& other);
    void Release();
    void Detach() { Release(); }
    // World sphere from the root scene node's world matrix.
    void Update();
    // Every part's instance to its scene node's world matrix.
    void SetTransforms();
    // The world sphere's axis segments while attached (debug only).
    void DebugDraw() const;

    CCollisionPart* root;   // owned
    Sphere sphere;          // world space
    BoundingSphereEntry* sphereEntry;
    bool attached;
    // The world queries' grid holding the body, told whenever the sphere
    // changes (set by CBodyGrid).
    CBodyGrid* grid;
    int gridEntry;

private:
    void TakeSphere(const std::string& name);
    void SphereChanged();
};

enum CollisionDebugShape {
    COLLISION_DEBUG_SPHERES,
    COLLISION_DEBUG_BOXES,
    COLLISION_DEBUG_HULLS,
    COLLISION_DEBUG_TRIANGLES
};
// One debug shape for every attached part of the tree, brought into world
// space first.
void DebugDrawParts(CCollisionPart* part, CollisionDebugShape shape);

// The model-space sphere of a part tree (no ".sph" involved): centred on the
// root part's scene node, or on the only child's when the root part has no
// model, reaching every collision vertex of that part and the parts below.
Sphere ComputeBodySphere(CCollisionPart* root);

#endif
