// Bones an object reads every update (a hand, the chest, a muzzle), held as
// node pointers into its own model instance instead of searched by name.
// The pointers are looked up again when the handle holds another record
// (a record's serial is never reused) and after Renew, which the code that
// changes the tree's shape calls: a limb torn off takes its bones with it.
#ifndef RENDER_MODEL_BONES_H
#define RENDER_MODEL_BONES_H

#include <cstdint>

#include "render/model.h"

class CModelBones {
public:
    static const int MaxBones = 8;
    // names: count string literals, looked up with CModel::FindNode.
    CModelBones(const char* const* names, int count);

    // The node of names[which] in model's tree, or null when it has none.
    CNode* Get(CModel& model, int which);
    // The next Get looks every bone up again.
    void Renew() { resolved_ = false; }

private:
    void Resolve(CModel& model);

    const char* const* names_;
    int count_;
    CNode* nodes_[MaxBones];
    uint64_t serial_ = 0;   // of the record the nodes belong to; 0 for none
    bool resolved_ = false;
};

#endif
