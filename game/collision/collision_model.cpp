// Collision nodes and the shared model list.
#include "game/collision/collision_model.h"

#include <algorithm>

#include "core/strings.h"

int CollisionNodeCount = 0;

CCollisionNode::CCollisionNode()
    : parent(nullptr), boxDone(0), geometryDone(0), source(nullptr) {
    CollisionNodeCount++;
}

CCollisionNode::~CCollisionNode() {
    for (CCollisionNode* child : children)
        delete child;
    CollisionNodeCount--;
}

CCollisionNode* CCollisionNode::CopyTree(CCollisionNode* newParent) const {
    CCollisionNode* copy = new CCollisionNode;
    copy->box = box;
    copy->triangles = triangles;
    copy->indices = indices;
    copy->parent = newParent;
    copy->source = source ? source : this;
    copy->children.reserve(children.size());
    for (const CCollisionNode* child : children)
        copy->children.push_back(child->CopyTree(copy));
    return copy;
}

void CCollisionNode::ResetFlags() {
    boxDone = 0;
    geometryDone = 0;
    for (CCollisionNode* child : children)
        child->ResetFlags();
}

void CCollisionNode::AddChild(CCollisionNode* child) {
    child->parent = this;
    children.push_back(child);
}

CCollisionModel::CCollisionModel() : root(nullptr), refCount(0) {}

CCollisionModel::~CCollisionModel() {
    delete root;
}

// Never destroyed: instances in static objects may still let go of their
// models after the other statics are gone.
std::list<CCollisionModel*>& CollisionModelList() {
    static std::list<CCollisionModel*>& list = *new std::list<CCollisionModel*>;
    return list;
}

namespace {

// An entry's nodes are the model's own: they mirror nothing.
void ClearSources(CCollisionNode* node) {
    node->source = nullptr;
    for (CCollisionNode* child : node->children)
        ClearSources(child);
}

} // namespace

CCollisionModel* CCollisionModel::Add(CCollisionInstance& instance, const std::string& path) {
    CCollisionModel* entry = new CCollisionModel;
    entry->name = path;
    entry->sphere = instance.sphere;
    entry->root = instance.root ? instance.root->CopyTree() : nullptr;
    if (entry->root)
        ClearSources(entry->root);
    entry->geometry = instance.geometry;
    entry->refCount = 1;
    // Appended: a search meets the oldest entry of a name first.
    CollisionModelList().push_back(entry);
    instance.model = entry;
    return entry;
}

CCollisionModel* CCollisionModel::Find(const std::string& path) {
    if (path.empty())
        return nullptr;   // unnamed models are never shared
    for (CCollisionModel* entry : CollisionModelList()) {
        if (EqualIgnoringCase(entry->name, path))
            return entry;
    }
    return nullptr;
}

void CCollisionModel::Release(CCollisionModel* entry) {
    if (!entry || --entry->refCount > 0)
        return;
    // Every entry goes with its last reference, the first one too: a later
    // attach of the same path must never copy a freed tree.
    std::list<CCollisionModel*>& list = CollisionModelList();
    auto it = std::find(list.begin(), list.end(), entry);
    if (it != list.end())
        list.erase(it);
    delete entry;
}
