#include "render/model_bones.h"

#include <cassert>

CModelBones::CModelBones(const char* const* names, int count) : names_(names), count_(count) {
    assert(count <= MaxBones);
    for (CNode*& node : nodes_)
        node = nullptr;
}

CNode* CModelBones::Get(CModel& model, int which) {
    const ModelRecord* record = model.GetRecord();
    if (!resolved_ || serial_ != (record ? record->serial : 0))
        Resolve(model);
    return nodes_[which];
}

void CModelBones::Resolve(CModel& model) {
    const ModelRecord* record = model.GetRecord();
    serial_ = record ? record->serial : 0;
    for (int i = 0; i < count_; i++)
        nodes_[i] = model.FindNode(names_[i]);
    resolved_ = true;
}
