// Animation: clip and list files, track evaluation against poses worked out
// by hand, playing modes, blending, smoothing and the bone pose.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "render/animation.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

// A rotation by angle about z, as a key line "w x y z time".
std::string Key(float angle, float time) {
    std::ostringstream s;
    s << std::cos(angle / 2) << " 0 0 " << std::sin(angle / 2) << " " << time << "\n";
    return s.str();
}

// The angle about z of a node's rotation (all clips here turn about z).
float AngleOf(const CNode* n) {
    return std::atan2(n->rotation.m[3], n->rotation.m[0]);
}

bool FiniteRotation(const CNode* n) {
    for (float f : n->rotation.m) {
        if (std::isnan(f))
            return false;
    }
    return true;
}

class Animation : public MeshFilesTest {
protected:
    Animation() : MeshFilesTest("meshes_test_anim") {}

    void SetUp() override {
        MeshFilesTest::SetUp();
        savedAliases = AnimationAliasList();
        savedPath = AnimationListPath();
        root = Bone("Root", nullptr);
        spine = Bone("Spine", root);
        arm = Bone("Arm", spine);
        arm->SetRotation(RotationZ(0.1f), true);
        model.CreateFromRoot(root, "test", true, true, 0);
        animator.Bind(model);
    }
    void TearDown() override {
        ClearAnimationClips();
        AnimationAliasList() = savedAliases;
        AnimationListPath() = savedPath;
        MeshFilesTest::TearDown();
    }

    // A clip file of the given tracks (bone name, key lines) under alias = name.
    void AddClip(const std::string& name, float length,
                 const std::vector<std::pair<std::string, std::vector<std::string>>>& tracks) {
        std::string text = "Clip " + name + " Length " + std::to_string(length) + " Tracks " +
                           std::to_string(tracks.size()) + "\n";
        for (const auto& t : tracks) {
            text += "Bone " + t.first + " Keys " + std::to_string(t.second.size()) + " Data\n";
            for (const std::string& k : t.second)
                text += k;
        }
        AnimationAliasList().push_back({name, Write(name + ".txt", text)});
    }

    std::vector<std::pair<std::string, std::string>> savedAliases;
    std::string savedPath;
    CNode* root;
    CNode* spine;
    CNode* arm;
    CModel model;
    CAnimator animator;
};

TEST_F(Animation, ListAndClipFilesAreReadWholeOrNotAtAll) {
    AnimationListPath() = Write("list.txt", "Count 2 Pairs\nwalk data\\walk.txt Run data\\run.txt\n");
    size_t before = AnimationAliasList().size();
    ASSERT_TRUE(LoadAnimationList());
    std::string path;
    ASSERT_TRUE(ResolveAnimationAlias("RUN", path));
    EXPECT_EQ(path, "data\\run.txt");
    EXPECT_EQ(AnimationAliasList().size(), before + 2);

    for (const char* bad : {"Count -1 Pairs a b", "Count 3 Pairs a b c d", "Count 99999999999 Pairs"}) {
        std::istringstream in(bad);
        std::vector<std::pair<std::string, std::string>> out;
        EXPECT_FALSE(ReadAnimationList(in, out)) << bad;
        EXPECT_TRUE(out.empty());
    }
    AnimationListPath() = Path("none.txt");
    EXPECT_FALSE(LoadAnimationList());

    std::string clip = "Clip wave Length 1 Tracks 1 Bone Spine Keys 2 Data " + Key(0, 0.5) + Key(1, 1);
    for (size_t cut = 0; cut < clip.size(); cut++) {
        std::istringstream in(clip.substr(0, cut));
        CAnimationClip c;
        bool ok = ReadAnimationClip(in, c);
        EXPECT_TRUE(!ok || cut > clip.size() - 3) << cut;
    }
    std::istringstream whole(clip);
    CAnimationClip c;
    ASSERT_TRUE(ReadAnimationClip(whole, c));
    EXPECT_EQ(c.name, "wave");
    ASSERT_EQ(c.tracks.size(), 1u);
    EXPECT_EQ(c.tracks[0].keys.size(), 2u);
    std::istringstream negative("Clip x Length 1 Tracks -1");
    EXPECT_FALSE(ReadAnimationClip(negative, c));

    // Counts at exactly their bounds are read; one more is refused.
    std::vector<std::pair<std::string, std::string>> list;
    for (int more = 0; more < 2; more++) {
        std::string tracks, pairs;
        for (int t = 0; t < 4096 + more; t++)
            tracks += "Bone b Keys 0 Data\n";
        for (int i = 0; i < 65536 + more; i++)
            pairs += "a b\n";
        std::istringstream clipIn("Clip x Length 1 Tracks " + std::to_string(4096 + more) + "\n" + tracks);
        std::istringstream listIn("Count " + std::to_string(65536 + more) + " Pairs\n" + pairs);
        EXPECT_EQ(ReadAnimationClip(clipIn, c) && c.tracks.size() == 4096u, more == 0);
        EXPECT_EQ(ReadAnimationList(listIn, list) && list.size() == 65536u, more == 0);
    }
}

TEST_F(Animation, MissingOrBrokenClipsNeverGrowTheRegistry) {
    AnimationAliasList().push_back({"hold", Path("missing.txt")});
    AnimationAliasList().push_back({"broken", Write("broken.txt", "Clip broken Length 1 Tracks 4294967295")});
    for (int frame = 0; frame < 50; frame++) {
        EXPECT_FALSE(animator.Play("hold", 2, 0, 0));
        EXPECT_FALSE(animator.Play("broken", 2, 0, 0));
        EXPECT_FALSE(animator.Play("unknown alias", 2, 0, 0));
    }
    EXPECT_TRUE(AnimationClipRegistry().empty());
    EXPECT_TRUE(animator.GetPlaying().empty());

    // A clip whose stored name differs from its alias is read once.
    AddClip("alias", 1, {{"Spine", {Key(0.5f, 1)}}});
    std::string text = "Clip stored Length 1 Tracks 0";
    Write("alias.txt", text);
    for (int frame = 0; frame < 5; frame++)
        EXPECT_TRUE(LoadAnimationClip("alias"));
    EXPECT_EQ(AnimationClipRegistry().size(), 1u);
}

TEST_F(Animation, TwoKeyTrackByHand) {
    AddClip("swing", 1.5f, {{"Spine", {Key(0.4f, 0.5f), Key(1.0f, 1.5f)}}});
    ASSERT_TRUE(animator.Play("swing", 2, 0, 0));
    animator.Update(0);
    EXPECT_NEAR(AngleOf(spine), 1.0f, 1e-5f);   // starts on the second key
    animator.Update(0.25f);
    EXPECT_NEAR(AngleOf(spine), 0.7f, 1e-5f);   // halfway back to the first
    animator.Update(0.25f);
    EXPECT_NEAR(AngleOf(spine), 0.4f, 1e-5f);
    animator.Update(0.5f);                      // the next segment lasts 1.0 s
    EXPECT_NEAR(AngleOf(spine), 0.7f, 1e-5f);

    // A step across a segment end carries the remainder.
    animator.StopAll();
    ASSERT_TRUE(animator.Play("swing", 2, 0, 0));
    animator.Update(1.2f);
    EXPECT_NEAR(AngleOf(spine), 0.4f + 0.7f * 0.6f, 1e-5f);
    // Whole cycles change nothing.
    animator.Update(3.0f);
    EXPECT_NEAR(AngleOf(spine), 0.4f + 0.7f * 0.6f, 1e-4f);

    // A first key at time 0: a step of several cycles still lands in place.
    AddClip("fromzero", 1, {{"Arm", {Key(0.2f, 0), Key(1.0f, 1)}}});
    ASSERT_TRUE(animator.Play("fromzero", 2, 0, 0));
    animator.Update(2.5f);
    EXPECT_NEAR(AngleOf(arm), 0.6f, 1e-4f);
    animator.Update(0.25f);
    EXPECT_NEAR(AngleOf(arm), 0.8f, 1e-4f);
}

TEST_F(Animation, FourKeyTrackFollowsItsCurve) {
    const float a = 0.2f;
    AddClip("curve", 3.1f, {{"Spine", {Key(0, 0.1f), Key(a, 1.1f), Key(2 * a, 2.1f), Key(3 * a, 3.1f)}}});
    ASSERT_TRUE(animator.Play("curve", 2, 0, 0));
    animator.Update(0.2f);   // past the 0.1 s wrap: start of the first key's segment
    EXPECT_NEAR(AngleOf(spine), 0, 1e-5f);
    animator.Update(5.0f);   // one segment per update, the overshoot dropped
    EXPECT_NEAR(AngleOf(spine), a, 1e-5f);
    // Evenly spaced keys about one axis: the controls sit at 0.67 and 0.33
    // of the segment, so the curve at 0.25 is 3(.75^2)(.25)(.67) +
    // 3(.75)(.25^2)(.33) + .25^3 = 0.3446875 of the way.
    animator.Update(0.25f);
    EXPECT_NEAR(AngleOf(spine), a * 1.3446875f, 1e-4f);
    animator.Update(0.25f);
    EXPECT_NEAR(AngleOf(spine), a * 1.5f, 1e-4f);
}

TEST_F(Animation, SegmentsOfNoLengthAndOppositeSignKeysGiveNoNaN) {
    AddClip("flat3", 1, {{"Spine", {Key(0.3f, 0), Key(0.6f, 0.5f), Key(0.9f, 1)}}});
    AddClip("flat2", 1, {{"Arm", {Key(0.3f, 0), Key(0.6f, 0)}}});
    ASSERT_TRUE(animator.Play("flat3", 2, 0, 0));
    ASSERT_TRUE(animator.Play("flat2", 2, 0, 0));
    for (float dt : {0.0f, 0.0f, 0.1f, 0.0f, 0.7f, 0.25f}) {
        animator.Update(dt);   // the two-key track at time 0 must not spin
        ASSERT_TRUE(FiniteRotation(spine) && FiniteRotation(arm)) << dt;
    }

    // One rotation written with both signs: the control sums cancel to zero.
    animator.StopAll();
    const float turn = 2 * 3.14159265f;
    AddClip("signs", 4, {{"Spine", {Key(0.3f, 0.1f), Key(0.3f, 1.1f), Key(0.3f + turn, 2.1f), Key(0.5f, 3.1f)}}});
    ASSERT_TRUE(animator.Play("signs", 2, 0, 0));
    for (float dt : {0.2f, 0.5f, 0.6f, 0.5f, 0.6f, 0.5f, 0.6f, 0.5f, 0.6f}) {
        animator.Update(dt);
        ASSERT_TRUE(FiniteRotation(spine)) << dt;
    }
}

TEST_F(Animation, FreedClipsLeaveNoPlayingEntries) {
    AddClip("gone", 1, {{"Spine", {Key(0.5f, 1)}}});
    ASSERT_TRUE(animator.Play("gone", 2, 0, 0));
    animator.Update(0.1f);
    ClearAnimationClips();
    EXPECT_FALSE(animator.IsPlaying("gone"));
    EXPECT_EQ(animator.GetPlayingCount(), 0);
    animator.Update(0.1f);
    EXPECT_TRUE(animator.GetPlaying().empty());
    EXPECT_NEAR(AngleOf(spine), 0, 1e-6f);   // back at its bind pose
    ASSERT_TRUE(animator.Play("gone", 2, 0, 0));   // read again
    animator.Update(0.1f);
    EXPECT_NEAR(AngleOf(spine), 0.5f, 1e-5f);
}

TEST_F(Animation, TimedEntriesExpireAndFadesSmooth) {
    AddClip("once", 1.5f, {{"Spine", {Key(0.5f, 1)}}});
    AddClip("loop", 1.0f, {{"Arm", {Key(0.5f, 1)}}});
    ASSERT_TRUE(animator.Play("once", 0, 2.0f, 0));
    ASSERT_TRUE(animator.Play("loop", 2, 0, 0));
    for (int i = 0; i < 3; i++)
        animator.Update(1.0f);
    EXPECT_TRUE(animator.IsPlaying("ONCE"));   // exactly 3.0 s: not yet
    animator.Update(0.01f);
    EXPECT_FALSE(animator.IsPlaying("once"));
    EXPECT_FALSE(animator.IsPlaying("Smoother"));
    EXPECT_NEAR(AngleOf(spine), 0, 1e-6f);     // back at its bind pose
    for (int i = 0; i < 10; i++)
        animator.Update(10.0f);
    EXPECT_TRUE(animator.IsPlaying("loop"));

    EXPECT_TRUE(animator.Stop("loop", 0.00001f));
    EXPECT_FALSE(animator.IsPlaying("Smoother"));
    EXPECT_FALSE(animator.Stop("loop", 0.2f));

    ASSERT_TRUE(animator.Play("loop", 2, 0, 0));
    animator.Update(0);
    EXPECT_TRUE(animator.Stop("loop", 0.2f));
    EXPECT_EQ(animator.GetPlayingCount(), 1);
    animator.Update(0.05f);   // a quarter of the way from the last pose to the bind pose
    EXPECT_TRUE(animator.IsPlaying("smoother"));
    EXPECT_NEAR(AngleOf(arm), 0.5f + (0.1f - 0.5f) * 0.25f, 1e-5f);
    animator.Update(0.05f);
    EXPECT_NEAR(AngleOf(arm), (0.5f + 0.1f) / 2, 1e-5f);
    animator.Update(0.1f);
    EXPECT_FALSE(animator.IsPlaying("Smoother"));
    EXPECT_NEAR(AngleOf(arm), 0.1f, 1e-5f);

    // Other modes play for value seconds, whatever the clip's length.
    for (int mode : {1, 3, -1}) {
        ASSERT_TRUE(animator.Play("once", mode, 0.5f, 0));
        animator.Update(0.5f);
        EXPECT_TRUE(animator.IsPlaying("once")) << mode;
        animator.Update(0.01f);
        EXPECT_FALSE(animator.IsPlaying("once")) << mode;
    }
}

TEST_F(Animation, FadeTakesTheShortWayFromAKeyOfEitherSign) {
    // The arm's key names 0.5 rad with negative w; the fade to the bind pose
    // (0.1 rad) must not swing the long way round.
    AddClip("negative", 1, {{"Arm", {Key(0.5f + 2 * 3.14159265f, 1)}}});
    ASSERT_TRUE(animator.Play("negative", 2, 0, 0));
    animator.Update(0);
    EXPECT_NEAR(AngleOf(arm), 0.5f, 1e-5f);
    EXPECT_TRUE(animator.Stop("negative", 0.2f));
    animator.Update(0.1f);
    EXPECT_NEAR(AngleOf(arm), 0.3f, 1e-4f);
}

TEST_F(Animation, ClipsBlendPairwise) {
    AddClip("c1", 1, {{"Spine", {Key(0, 1)}}, {"Ghost", {Key(2, 1)}}});
    AddClip("c2", 1, {{"Spine", {Key(0, 1)}}});
    AddClip("c3", 1, {{"Spine", {Key(1.2f, 1)}}, {"Arm", {Key(0.8f, 1)}}});
    ASSERT_TRUE(animator.Play("c2", 2, 0, 0));
    ASSERT_TRUE(animator.Play("c3", 2, 0, 0));
    animator.Update(0);
    EXPECT_NEAR(AngleOf(spine), 0.6f, 1e-5f);   // two: the midpoint
    ASSERT_TRUE(animator.Play("c1", 2, 0, 0));
    animator.Update(0);
    // Order c2, c3, c1: (0, 1.2, 0) -> (0.6, 0.6) -> 0.6; with c1 first it
    // would be (0, 0, 1.2) -> (0, 0.6) -> 0.3: not equal weights.
    EXPECT_NEAR(AngleOf(spine), 0.6f, 1e-5f);
    animator.StopAll();
    ASSERT_TRUE(animator.Play("c1", 2, 0, 0));
    ASSERT_TRUE(animator.Play("c2", 2, 0, 0));
    ASSERT_TRUE(animator.Play("c3", 2, 0, 0));
    animator.Update(0);
    EXPECT_NEAR(AngleOf(spine), 0.3f, 1e-5f);
    EXPECT_NEAR(AngleOf(arm), 0.8f, 1e-5f);   // the missing bone disturbs nothing
    std::vector<CAnimationClip*> clips;
    animator.GetPlayingClips(clips);
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[2]->name, "c3");
}

// Soldiers playing one clip out of step pose exactly as each would playing a
// clip of its own: the answers a track keeps for reuse never cross over.
TEST_F(Animation, OneClipOutOfStepPosesAsClipsOfTheirOwn) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> tracks = {
        {"Spine", {Key(0, 0.1f), Key(0.3f, 0.6f), Key(0.5f, 1.1f), Key(0.2f, 1.6f)}},
        {"Arm", {Key(0.2f, 0.5f), Key(1.0f, 1.5f)}}};
    for (const char* name : {"shared", "ownA", "ownB"})
        AddClip(name, 1.6f, tracks);
    struct Rig {
        CNode* spine;
        CNode* arm;
        CModel model;
        CAnimator animator;
    } rigs[4];
    const char* const clips[4] = {"shared", "shared", "ownA", "ownB"};
    for (int i = 0; i < 4; i++) {
        CNode* r = Bone("Root", nullptr);
        rigs[i].spine = Bone("Spine", r);
        rigs[i].arm = Bone("Arm", rigs[i].spine);
        rigs[i].model.CreateFromRoot(r, "rig" + std::to_string(i), true, true, 0);
        rigs[i].animator.Bind(rigs[i].model);
        ASSERT_TRUE(rigs[i].animator.Play(clips[i], 2, 0, 0));
    }
    // Rigs 1 and 3 start one segment on (the segments last 0.5 s), so all
    // then meet the same fractions in other segments.
    for (int i = 0; i < 4; i++) {
        for (float dt : i % 2 ? std::vector<float>{0.2f, 0.6f} : std::vector<float>{0.2f})
            rigs[i].animator.Update(dt);
    }
    auto step = [&](float dt) {
        for (Rig& rig : rigs)
            rig.animator.Update(dt);
        for (int i = 0; i < 2; i++) {
            for (int k = 0; k < 9; k++) {
                EXPECT_EQ(rigs[i].spine->rotation.m[k], rigs[i + 2].spine->rotation.m[k]);
                EXPECT_EQ(rigs[i].arm->rotation.m[k], rigs[i + 2].arm->rotation.m[k]);
            }
        }
    };
    for (int round = 0; round < 4; round++) {
        for (float dt : {0.25f, 0.1f, 0.15f, 0.3f, 0.2f})
            step(dt);
    }
    // Fades in step from the two poses back to rest.
    float from[4];
    for (int i = 0; i < 4; i++) {
        from[i] = AngleOf(rigs[i].spine);
        ASSERT_TRUE(rigs[i].animator.Stop(clips[i], 1.0f));
    }
    ASSERT_GT(std::fabs(from[0] - from[1]), 0.05f);
    for (float t : {0.25f, 0.5f, 0.75f}) {
        step(0.25f);
        for (int i = 0; i < 4; i++)
            EXPECT_NEAR(AngleOf(rigs[i].spine), from[i] * (1 - t), 1e-4f);
    }
}

TEST_F(Animation, ExcludedBonesHoldTheirBindPose) {
    AddClip("both", 1, {{"Spine", {Key(0.5f, 1)}}, {"Arm", {Key(0.9f, 1)}}});
    ASSERT_TRUE(animator.Play("both", 2, 0, 0));
    animator.ExcludeBones(spine);   // the bones below the spine
    animator.Update(0.1f);
    EXPECT_NEAR(AngleOf(spine), 0.5f, 1e-5f);
    EXPECT_NEAR(AngleOf(arm), 0.1f, 1e-5f);
}

TEST_F(Animation, UnboundAndRebound) {
    AddClip("spin", 1, {{"Spine", {Key(0.5f, 1)}}, {"Root", {Key(0.7f, 1)}}});
    CAnimator loose;
    ASSERT_TRUE(loose.Play("spin", 2, 0, 0));
    loose.Update(0.1f);

    // Binding another model re-aims the playing entries at its bones.
    CNode* otherRoot = Bone("Root", nullptr);
    CNode* otherSpine = Bone("Spine", otherRoot);
    CModel other;
    other.CreateFromRoot(otherRoot, "other", true, true, 0);
    ASSERT_TRUE(animator.Play("spin", 2, 0, 0));
    animator.ExcludeBones(root);
    animator.Bind(other);
    model = CModel();   // the old tree is gone
    animator.Update(0.1f);
    EXPECT_NEAR(AngleOf(otherSpine), 0.5f, 1e-5f);   // nothing excluded in the new model
    EXPECT_NEAR(AngleOf(otherRoot), 0, 1e-6f);       // the root is never written
    loose.Bind(other);
    loose.Update(0.1f);
    EXPECT_EQ(loose.GetPose().size(), 1u);
}

}  // namespace
