// Bone animation: clips of rotation keys per bone, named through an alias
// list, kept for the run in a registry and played by a per-model animator.
// Several clips blend per bone; stopping or expiring a clip can fade from
// the last pose. Only rotations animate; positions stay as the model has them.
#ifndef RENDER_ANIMATION_H
#define RENDER_ANIMATION_H

#include <cstdint>
#include <istream>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "core/quaternion.h"
#include "render/model.h"

class CNode;

struct AnimationKey {
    Quaternion rotation;   // w, x, y, z
    float time;            // seconds
};

struct AnimationTrackState {
    int32_t previous = 0;
    int32_t from = 0;
    int32_t to = 0;
};

// Rotations a track gave, by segment and fraction: animators playing a clip
// in step (a squad on the move) reuse them. The segment and fraction fix the
// answer, since a segment's controls come from its keys. from is -1 in an
// empty slot.
struct AnimationTrackMemo {
    uint32_t fractionBits = 0;
    int32_t previous = -1;
    int32_t from = -1;
    int32_t to = -1;
    Quaternion rotation;
};

struct AnimationTrack {
    std::string boneName;
    std::vector<AnimationKey> keys;
    // Slots picked by a hash of the fraction; a newer answer replaces one.
    static const int MemoBits = 6;
    static const int MemoSize = 1 << MemoBits;
    mutable AnimationTrackMemo memo[MemoSize];
};

struct CAnimationClip {
    std::string name;   // as stored in the clip file
    std::vector<AnimationTrack> tracks;
    float length = 0.0f;
    std::string sourcePath;   // the file it was read from
};

// Clips never move once loaded: playing entries point at them.
std::list<CAnimationClip>& AnimationClipRegistry();
std::vector<std::pair<std::string, std::string>>& AnimationAliasList();
std::string& AnimationListPath();   // "data\\animations\\list.txt"

bool LoadAnimationList();
// Reads alias pairs from a stream; false (nothing added) on a malformed list.
bool ReadAnimationList(std::istream& in,
                       std::vector<std::pair<std::string, std::string>>& out);
bool ResolveAnimationAlias(const std::string& alias, std::string& path);
bool FindAnimationClip(const std::string& name, CAnimationClip*& out);
bool LoadAnimationClip(const std::string& name);
// The clip of that name, loaded when needed; null when it cannot be had.
CAnimationClip* GetAnimationClip(const std::string& name);
// Reads a clip file's tokens; false on a cut or malformed file.
bool ReadAnimationClip(std::istream& in, CAnimationClip& clip);
bool GetAnimationClipLength(const std::string& name, float& length);
// Frees every clip; animators drop the entries that played them.
void ClearAnimationClips();
// Counts ClearAnimationClips calls: an entry of an older count has lost its clip.
int AnimationClipGeneration();
int LoadAnimationClips(const std::vector<std::string>& names);

struct BonePose {
    CNode* bone = nullptr;
    Quaternion rotation;
    // The rotation matrix last written to the bone and the rotation it came
    // from: a bone held still (at rest, or a one-key track) rebuilds nothing.
    bool matrixKnown = false;
    Quaternion matrixRotation;
    Matrix3 matrix;
};

// One track of a playing clip; the tracks of an entry sit in one list so an
// update walks them in order.
struct PlayingTrack {
    AnimationTrackState state;
    CNode* bone = nullptr;   // null where the model lacks the bone
    int poseSlot = -1;       // the bone's place in the pose, -1 for none
    float elapsed = 0.0f;
    Quaternion rotation;
    Quaternion control1;
    Quaternion control2;
    // The segment's arcs from key to control1, control1 to control2 and
    // control2 to key: fixed for the segment, so kept with it. A two-key
    // track keeps the arcs from key 0 and from key 1 to the other.
    Vector3 arcs[3];
};

struct PlayingAnimation {
    CAnimationClip* clip = nullptr;
    int clipGeneration = 0;   // AnimationClipGeneration() when it started
    int32_t mode = 1;   // 2 plays until stopped, others for a time
    float timeLeft = 0.0f;
    float fadeTime = 0.0f;
    std::vector<PlayingTrack> tracks;   // one per clip track
};

class CAnimator {
public:
    CAnimator();

    void Bind(const CModel& model);
    // Mode 0 plays for value x the clip's length, mode 2 until stopped, any
    // other mode for value seconds.
    bool Play(const std::string& clipName, int mode, float value, float fadeTime);
    bool PlayClip(CAnimationClip* clip, int mode, float value, float fadeTime);
    bool Stop(const std::string& clipName, float fadeTime);
    // "Smoother" is playing while a fade runs.
    bool IsPlaying(const std::string& name) const;
    void Update(float dt);
    void StartSmoothing(float duration);
    // Holds every descendant of node at its bind rotation from now on.
    void ExcludeBones(CNode* node);
    void GetPlayingClips(std::vector<CAnimationClip*>& out) const;

    bool IsExcluded(const CNode* node) const;
    int GetPlayingCount() const;
    int FindPoseIndex(const CNode* node) const;
    void StopAll();
    void StopEntry(std::list<PlayingAnimation>::iterator entry, float fadeTime);

    const std::vector<BonePose>& GetPose() const { return pose; }
    const std::list<PlayingAnimation>& GetPlaying() const { return playing; }
    bool IsSmoothing() const { return smoothing; }

private:
    void DropFreedClips();
    CNode* FindBone(const std::string& name);
    void ResolveBones(PlayingAnimation& entry);
    bool Skipped(const PlayingAnimation& entry, size_t track) const;
    void EvaluateTrack(PlayingAnimation& entry, size_t track, float dt);

    std::vector<BonePose> pose;
    std::list<PlayingAnimation> playing;
    std::vector<BonePose> snapshot;
    // Each pose bone's rotations this update, bone after bone in one list,
    // and where each bone's run ends; kept to spare the allocations.
    std::vector<Quaternion> blend;
    std::vector<size_t> blendStart;
    bool smoothing;
    float smoothElapsed;
    float smoothDuration;
    CModel model;
    std::vector<CNode*> excluded;
    bool bound;
};

// Pairwise blend: each pass replaces entries 0..n-2 by the midpoints of
// neighbours, until one is left.
Quaternion BlendRotations(std::vector<Quaternion> rotations);
// The same, working in the list.
Quaternion BlendRotationsInPlace(Quaternion* rotations, size_t count);
// The two control rotations of the segment ending at state.to.
void ComputeControlRotations(const AnimationTrack& track, const AnimationTrackState& state,
                             Quaternion& c1, Quaternion& c2);

#endif
