// Models: a tree of nodes loaded from a mesh file. Each file is loaded once
// into a master kept in the model cache; every LoadModel hands out an
// instance, a deep copy of the master's nodes sharing the master's meshes.
#ifndef RENDER_MODEL_H
#define RENDER_MODEL_H

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "render/handles.h"

class CNode;

uint64_t NextModelSerial();

struct ModelRecord : ResourceRecord {
    // Never reused, unlike the address: held bones know their record by it.
    uint64_t serial = NextModelSerial();
    bool readable = false;
    bool instance = false;   // false for a cached master
    std::string name;        // the ".mbm" path as given
    float cacheId = 0.0f;
    CNode* root = nullptr;   // owned
};

class CModel : public TResourceHandle<ModelRecord> {
public:
    CModel() : searchName(nullptr) {}
    CModel(const CModel& other) : TResourceHandle(other), searchName(nullptr) {}
    CModel& operator=(const CModel& other) {
        TResourceHandle::operator=(other);
        return *this;
    }
    ~CModel() override { DropRecord(); }
    // Deletes the record's node tree.
    void Release() override;

    void Draw();
    CNode* GetRoot() const;
    // Depth first, each child before its subtree; names compare exactly.
    CNode* FindNode(const std::string& name);
    // The same search below node (node itself is not tested).
    CNode* FindNodeIn(CNode* node, const std::string& name);

    // Gives the handle a new record owning root (used for instances, and by
    // tests to build models without files).
    void CreateFromRoot(CNode* root, const std::string& name, bool readable, bool instance,
                        float cacheId);

private:
    CNode* SearchBelow(CNode* node);

    const std::string* searchName;   // set during a search
};

inline RecordList& ModelRegistry() { return RecordRegistry<ModelRecord>(); }

// The one handle to every master.
std::list<CModel>& ModelCache();

// The first master (not an instance) of that name (ignoring case) and
// readable flag; null for an empty name or an instance key.
ModelRecord* FindModelRecord(const ModelRecord& key);

// Gives model a new instance of the file. readable keeps the buffers
// readable; weld merges identical vertices. False when both are clear.
bool LoadModel(CModel& model, const std::string& path, bool readable, bool weld);
void ClearModelCache();

#endif
