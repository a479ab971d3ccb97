// Collision models: a mesh's triangles, welded, under a shallow tree of
// oriented boxes. A model is built (or read from its cache file) once per
// cache path and shared through a counted entry of CollisionModelList. Each
// object holds an instance: a copy of the tree and geometry whose boxes,
// vertices and normals are brought into world space only when a test needs
// them, and only once per movement.
#ifndef GAME_COLLISION_MODEL_H
#define GAME_COLLISION_MODEL_H

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/matrix.h"

class CMesh;
class CCollisionInstance;

// Nodes alive: raised for every node made, lowered for every node freed.
extern int CollisionNodeCount;

// A node is split only when it holds at least this many triangles.
const int CollisionSplitMinTriangles = 20;
// A built tree is a root over at most this many leaves.
const int CollisionMaxChildren = 8;

// One box of a model's tree.
class CCollisionNode {
public:
    CCollisionNode();
    ~CCollisionNode();   // frees the children
    CCollisionNode(const CCollisionNode&) = delete;
    CCollisionNode& operator=(const CCollisionNode&) = delete;

    // A deep copy. Each copied node mirrors the model's node: the copied
    // node's source when it has one, else the copied node itself.
    CCollisionNode* CopyTree(CCollisionNode* newParent = nullptr) const;
    // Clears both done flags here and below.
    void ResetFlags();
    // Appends child and takes it over.
    void AddChild(CCollisionNode* child);

    // Debug shapes from the node's current (world) values; nothing in the
    // game calls them. White segments along the three axes, one radius each
    // way from the centre.
    static void DebugDrawSphere(const Sphere& sphere);
    // This box and those below: its axes scaled by the half-lengths, in red,
    // green and blue.
    void DebugDrawBox() const;
    // This node's triangles in yellow with their face normals.
    void DebugDrawHull(const CollisionGeometry& geometry) const;
    // The triangles of the leaves below, with cyan normal lines.
    void DebugDrawTriangles(const CollisionGeometry& geometry) const;

    OrientedBox box;
    std::vector<int32_t> triangles;   // offsets of first corners in the index list (3 x triangle)
    std::vector<int32_t> indices;     // vertex numbers of those triangles, ascending, each once
    std::vector<CCollisionNode*> children;   // owned
    CCollisionNode* parent;
    uint8_t boxDone;        // box in world space since the last move
    uint8_t geometryDone;   // vertices and normals in world space since the last move
    const CCollisionNode* source;   // the model's node in model space
};

// A shared model, or one just built or read that is not shared yet.
class CCollisionModel {
public:
    CCollisionModel();
    ~CCollisionModel();   // frees the tree
    CCollisionModel(const CCollisionModel&) = delete;
    CCollisionModel& operator=(const CCollisionModel&) = delete;

    // Appends an entry holding copies of the instance's sphere, tree and
    // geometry, count 1, named path; the instance then refers to it.
    static CCollisionModel* Add(CCollisionInstance& instance, const std::string& path);
    // The first entry of that name, ignoring case; null when there is none.
    static CCollisionModel* Find(const std::string& path);
    // Lowers the count; at zero the entry leaves the list and is freed.
    static void Release(CCollisionModel* entry);

    std::string name;   // the cache path
    Sphere sphere;      // model space
    CollisionGeometry geometry;
    CCollisionNode* root;   // owned
    int32_t refCount;
};

std::list<CCollisionModel*>& CollisionModelList();

// One object's copy of a shared model, in world space.
class CCollisionInstance {
public:
    CCollisionInstance();
    // Copies share the other's model (Assign).
    CCollisionInstance(const CCollisionInstance& other);
    CCollisionInstance& operator=(const CCollisionInstance& other);
    ~CCollisionInstance();

    // The model of the mesh's collision geometry under the cache path of
    // prefix and the mesh's name: shared, read from the cache, or built and
    // written. False (the instance untouched) for a mesh with fewer than 32
    // bytes of collision positions; false (detached) when no triangle is left.
    bool Attach(const CMesh& mesh, const std::string& prefix, bool noTree = false);
    // Shares the listed model of that path; false when there is none.
    bool AttachByName(const std::string& path);
    void Assign(const CCollisionInstance& other);
    // Lets go of the model and empties the instance.
    void Reset();
    // Ignored unless some element differs by more than 0.00001.
    void SetTransform(const Matrix4& matrix);
    void ResetFlags();

    // World space on demand: the node's box, or the vertices of its index
    // list and the normals of its triangles.
    void UpdateNodeBox(CCollisionNode* node);
    void UpdateNodeGeometry(CCollisionNode* node);
    // Every vertex and normal at once, each node's geometry marked done.
    void TransformAllGeometry();

    Sphere sphere;          // world centre, radius
    CCollisionNode* root;   // owned copy of the model's tree
    CollisionGeometry geometry;   // world-space vertices and normals once updated
    Matrix4 worldMatrix;
    CCollisionModel* model;
    bool attached;
    int32_t state;   // 3 after Attach, 2 after Assign

private:
    // Takes over a model that is not listed yet, adds it under path.
    void AdoptNewModel(CCollisionModel& built, const std::string& path);
    void ShareModel(CCollisionModel* entry);
};

// The welded geometry of a mesh's collision positions and triangles.
// Triangles are dropped when an index repeats or lies past the positions,
// a corner is not finite, the corners weld together or the triangle has
// no area (its normal would not be finite).
void WeldCollisionGeometry(const std::vector<Vector3>& positions,
                           const std::vector<uint16_t>& indices, CollisionGeometry& out);
// Geometry, root box, sphere and (unless noTree) the box tree. False when
// no triangle is left.
bool BuildCollisionModel(const std::vector<Vector3>& positions,
                         const std::vector<uint16_t>& indices, bool noTree, CCollisionModel& out);
// The sorted distinct vertex numbers of the node's triangles.
void RebuildNodeIndices(CCollisionNode& node, const CollisionGeometry& geometry);
// The split score of a plane with front and back triangle counts.
float SplitPlaneScore(int front, int back, int total);
// Two halves of the node along its axis k, or false when it holds too few
// triangles or no plane scores at most 0.25.
bool SplitCollisionNode(const CCollisionNode& node, const CollisionGeometry& geometry, int axis,
                        CCollisionNode*& outLow, CCollisionNode*& outHigh);
// Splits the root along its axes, largest half-length first.
void BuildCollisionTree(CCollisionNode& root, const CollisionGeometry& geometry);

#endif
