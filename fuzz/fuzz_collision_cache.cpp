// Collision cache text over any bytes: refused or read, and what is read is
// safe to use: its radius is plausible, it writes back to text that reads
// the same, and sharing it, moving it and testing every node's triangles
// stays inside its lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/collision/collision_cache.h"
#include "game/collision/collision_model.h"

namespace {

void Walk(CCollisionInstance& inst, CCollisionNode* node) {
    inst.UpdateNodeBox(node);
    inst.UpdateNodeGeometry(node);
    Vector3 hit;
    int triangle;
    SegmentIntersectMeshTriangles(node->box.centre, Vector3{0, 0, -1000}, inst.geometry,
                                  node->triangles, &hit, &triangle, false);
    for (CCollisionNode* child : node->children)
        Walk(inst, child);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    Sphere sphere;
    if (ParseBoundingSphere(text, sphere)) {
        Sphere again;
        if (!(sphere.radius <= CollisionCacheMaxRadius) ||
            !ParseBoundingSphere(FormatBoundingSphere(sphere), again))
            abort();
    }
    CCollisionModel parsed;
    if (!ParseCollisionModel(text, parsed))
        return 0;
    if (!(parsed.sphere.radius <= CollisionCacheMaxRadius))
        abort();
    std::string written = FormatCollisionModel(parsed);
    CCollisionModel reread;
    if (!ParseCollisionModel(written, reread) || FormatCollisionModel(reread) != written)
        abort();

    // List the model as an attach does, share it and move the copy.
    CCollisionInstance owner, user;
    owner.sphere = parsed.sphere;
    owner.root = parsed.root;
    parsed.root = nullptr;
    owner.geometry = parsed.geometry;
    CCollisionModel::Add(owner, "gen\\data\\collision\\fuzz.col");
    owner.attached = true;
    if (!user.AttachByName("gen\\data\\collision\\fuzz.col"))
        abort();
    Matrix4 m;
    Matrix4Identity(m);
    m.m[3] = 1.5f;
    m.m[0] = 0.5f;
    user.SetTransform(m);
    Walk(user, user.root);
    user.Reset();
    owner.Reset();
    if (!CollisionModelList().empty())
        abort();
    return 0;
}
