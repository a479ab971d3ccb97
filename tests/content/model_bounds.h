// World-space box of a model's collision positions: where the content checks
// and the drawing program find a model on the ground and on screen.
#ifndef TESTS_CONTENT_MODEL_BOUNDS_H
#define TESTS_CONTENT_MODEL_BOUNDS_H

#include <algorithm>
#include <vector>

#include "core/matrix.h"
#include "render/node.h"

struct Box {
    Vector3 lo{1e9f, 1e9f, 1e9f};
    Vector3 hi{-1e9f, -1e9f, -1e9f};
};

// Grows box by every node of the tree.
inline void AddBounds(CNode* root, Box& box) {
    std::vector<CNode*> nodes{root};
    root->CollectDescendants(nodes);
    for (CNode* n : nodes) {
        for (const Vector3& p : n->mesh.GetRecord()->collisionPositions) {
            Vector3 w;
            Matrix4TransformPoint(w, n->GetWorldMatrix(), p);
            box.lo = Vector3{std::min(box.lo.x, w.x), std::min(box.lo.y, w.y), std::min(box.lo.z, w.z)};
            box.hi = Vector3{std::max(box.hi.x, w.x), std::max(box.hi.y, w.y), std::max(box.hi.z, w.z)};
        }
    }
}

inline Box Bounds(CNode* root) {
    Box box;
    AddBounds(root, box);
    return box;
}

#endif
