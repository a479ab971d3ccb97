// Animation clip and alias list files over any text, and the clips that
// read whole played on a small skeleton named like the fuzzed bones.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "render/animation.h"
#include "render/model.h"
#include "render/node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    {
        std::istringstream in(text);
        std::vector<std::pair<std::string, std::string>> aliases;
        ReadAnimationList(in, aliases);
    }
    std::istringstream in(text);
    CAnimationClip clip;
    if (!ReadAnimationClip(in, clip) || clip.tracks.size() > 64)
        return 0;
    CNode* root = new CNode;
    root->name = "root";
    for (const AnimationTrack& t : clip.tracks) {
        CNode* bone = new CNode;
        bone->name = t.boneName;
        bone->AttachTo(false, root, true);
    }
    CModel model;
    model.CreateFromRoot(root, "fuzz", true, true, 0);
    CAnimator animator;
    animator.Bind(model);
    animator.PlayClip(&clip, 0, 1.5f, 0.2f);
    animator.PlayClip(&clip, 2, 0, 0);
    for (float dt : {0.0f, 0.0f, 0.016f, 0.25f, 1.0f, 0.0f, 0.1f})
        animator.Update(dt);
    animator.Stop(clip.name, 0.3f);
    animator.Update(0.1f);
    return 0;
}
