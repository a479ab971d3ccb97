#include "render/model.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/error.h"
#include "core/strings.h"
#include "render/mesh_file.h"
#include "render/node.h"

namespace {

// Masters by readable flag and name without case, oldest first: a battle
// holds thousands of instances, and a load must not walk them all.
std::unordered_map<std::string, std::vector<ModelRecord*>>& MasterIndex() {
    // Never destroyed, like the registry: late statics may drop masters.
    static auto& index = *new std::unordered_map<std::string, std::vector<ModelRecord*>>;
    return index;
}

std::string MasterKey(const std::string& name, bool readable) {
    return (readable ? "r:" : "w:") + ToLowerCase(name);
}

void IndexMaster(ModelRecord* master) {
    MasterIndex()[MasterKey(master->name, master->readable)].push_back(master);
}

void UnindexMaster(ModelRecord* master) {
    auto found = MasterIndex().find(MasterKey(master->name, master->readable));
    if (found == MasterIndex().end())
        return;
    std::vector<ModelRecord*>& masters = found->second;
    masters.erase(std::remove(masters.begin(), masters.end(), master), masters.end());
    if (masters.empty())
        MasterIndex().erase(found);
}

}  // namespace

void CModel::Release() {
    if (!record->instance)
        UnindexMaster(record);
    delete record->root;
    record->root = nullptr;
}

void CModel::CreateFromRoot(CNode* root, const std::string& name, bool readable, bool instance,
                            float cacheId) {
    CreateRecord();
    record->root = root;
    record->name = name;
    record->readable = readable;
    record->instance = instance;
    record->cacheId = cacheId;
    if (!instance)
        IndexMaster(record);
}

void CModel::Draw() {
    if (record && record->root)
        record->root->Draw(true);
}

CNode* CModel::GetRoot() const {
    return record ? record->root : nullptr;
}

uint64_t NextModelSerial() {
    static uint64_t next = 0;
    return ++next;
}

CNode* CModel::FindNode(const std::string& name) {
    CNode* root = GetRoot();
    if (!root)
        return nullptr;
    if (root->name == name)
        return root;
    return FindNodeIn(root, name);
}

CNode* CModel::FindNodeIn(CNode* node, const std::string& name) {
    searchName = &name;
    CNode* found = node ? SearchBelow(node) : nullptr;
    searchName = nullptr;
    return found;
}

CNode* CModel::SearchBelow(CNode* node) {
    for (CNode* child : node->children) {
        if (child->name == *searchName)
            return child;
        if (CNode* found = SearchBelow(child))
            return found;
    }
    return nullptr;
}

std::list<CModel>& ModelCache() {
    // Never destroyed: a handle dropped by a late static must find its registry.
    static std::list<CModel>& cache = *new std::list<CModel>;
    return cache;
}

ModelRecord* FindModelRecord(const ModelRecord& key) {
    if (key.instance || key.name.empty())
        return nullptr;
    // The newest master first, as a search of the registry meets it.
    auto found = MasterIndex().find(MasterKey(key.name, key.readable));
    return found == MasterIndex().end() ? nullptr : found->second.back();
}

bool LoadModel(CModel& model, const std::string& path, bool readable, bool weld) {
    if (!readable && !weld)
        return false;
    model.DropRecord();
    ModelRecord key;
    key.readable = readable;
    key.name = path;
    if (ModelRecord* master = FindModelRecord(key)) {
        if (!master->root)
            return false;
        model.CreateFromRoot(new CNode(*master->root), master->name, master->readable, true,
                             master->cacheId);
        return true;
    }
    if (!EqualIgnoringCase(GetFileExtension(path), "mbm")) {
        ReportError("Error", "LoadModel()-not a model file: " + path);
        return false;
    }
    MeshLoadResult loaded;
    if (!LoadMeshFile(path, readable, loaded, weld) || !loaded.root) {
        ReportError("Error", "LoadModel()-cannot load " + path);
        return false;
    }
    CModel master;
    master.CreateFromRoot(loaded.root, path, readable, false, loaded.cacheId);
    ModelCache().push_back(master);
    model.CreateFromRoot(new CNode(*loaded.root), path, readable, true, loaded.cacheId);
    return true;
}

void ClearModelCache() {
    ModelCache().clear();
}
