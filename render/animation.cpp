// The per-model animator: playing entries, track evaluation, blending and
// the bone pose written into the model's nodes.
#include "render/animation.h"

#include <cmath>
#include <cstring>

#include "core/strings.h"
#include "render/node.h"

namespace {

Vector4 ToVector4(const Quaternion& q) {
    return Vector4{q.w, q.x, q.y, q.z};
}

Quaternion FromVector4(const Vector4& v) {
    Quaternion q;
    q.w = v.x;
    q.x = v.y;
    q.y = v.z;
    q.z = v.w;
    return q;
}

// The reflection of b through a: 2 (a.b) a - b.
Quaternion Reflect(const Quaternion& a, const Quaternion& b) {
    Vector4 out;
    ReflectVector4(out, ToVector4(a), ToVector4(b));
    return FromVector4(out);
}

Quaternion Add(const Quaternion& a, const Quaternion& b) {
    Quaternion q;
    q.w = a.w + b.w;
    q.x = a.x + b.x;
    q.y = a.y + b.y;
    q.z = a.z + b.z;
    return q;
}

float Dot(const Quaternion& a, const Quaternion& b) {
    return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
}

Quaternion Interpolate(const Quaternion& from, const Quaternion& to, float t) {
    Quaternion q;
    QuaternionInterpolate(q, from, to, t);
    return q;
}

// The segment from the last key back to the first lasts the first key's time.
float SegmentLength(const AnimationTrack& track, const AnimationTrackState& s) {
    if (s.to != 0)
        return track.keys[(size_t)s.to].time - track.keys[(size_t)s.from].time;
    return track.keys[0].time;
}

void Advance(AnimationTrackState& s, int n) {
    s.previous = (s.previous + 1) % n;
    s.from = (s.from + 1) % n;
    s.to = (s.to + 1) % n;
}

void RotationMatrix(Matrix3& m, const Quaternion& q) {
    float w = q.w, x = q.x, y = q.y, z = q.z;
    m.m[0] = 1 - 2 * y * y - 2 * z * z;
    m.m[1] = 2 * x * y - 2 * w * z;
    m.m[2] = 2 * x * z + 2 * w * y;
    m.m[3] = 2 * x * y + 2 * w * z;
    m.m[4] = 1 - 2 * x * x - 2 * z * z;
    m.m[5] = 2 * y * z - 2 * w * x;
    m.m[6] = 2 * x * z - 2 * w * y;
    m.m[7] = 2 * y * z + 2 * w * x;
    m.m[8] = 1 - 2 * x * x - 2 * y * y;
}

// The sum normalised; neighbouring keys that name one rotation with opposite
// signs cancel to zero, and then the key itself stands in (no bend there).
Quaternion NormalizedSum(const Quaternion& a, const Quaternion& b, const Quaternion& fallback) {
    Quaternion sum = Add(a, b);
    if (!(Dot(sum, sum) > 1e-12f))
        return fallback;
    Quaternion out;
    return QuaternionNormalize(out, sum);
}

}  // namespace

static uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

static AnimationTrackMemo& MemoSlot(const AnimationTrack& track, uint32_t fractionBits, int32_t from) {
    // Fractions of soldiers out of step differ in the high mantissa bits.
    uint32_t h = (fractionBits ^ (uint32_t)from) * 2654435761u;
    return track.memo[h >> (32 - AnimationTrack::MemoBits)];
}

// The track's answer for this segment and fraction, when it has one.
static bool Recall(const AnimationTrack& track, const AnimationTrackState& s, float f, Quaternion& out) {
    const uint32_t bits = FloatBits(f);
    const AnimationTrackMemo& m = MemoSlot(track, bits, s.from);
    if (m.fractionBits != bits || m.from != s.from || m.to != s.to || m.previous != s.previous)
        return false;
    out = m.rotation;
    return true;
}

static void Remember(const AnimationTrack& track, const AnimationTrackState& s, float f, const Quaternion& q) {
    const uint32_t bits = FloatBits(f);
    AnimationTrackMemo& m = MemoSlot(track, bits, s.from);
    m.fractionBits = bits;
    m.previous = s.previous;
    m.from = s.from;
    m.to = s.to;
    m.rotation = q;
}

// A fade's step from the pose it left toward the playing pose. Soldiers that
// left the same pose at the same moment take the same steps, so recent
// answers are kept, by a hash of the fraction and both rotations.
struct SmoothingMemo {
    Quaternion from, to;
    uint32_t fractionBits = 0;
    Quaternion rotation;
    bool used = false;
};
static SmoothingMemo smoothingMemo[256];

static Quaternion SmoothedRotation(const Quaternion& from, const Quaternion& to, float t) {
    const uint32_t bits = FloatBits(t);
    uint32_t h = bits;
    for (const Quaternion* q : {&from, &to}) {
        for (float f : {q->w, q->x, q->y, q->z})
            h = (h ^ FloatBits(f)) * 16777619u;
    }
    SmoothingMemo& m = smoothingMemo[(h * 2654435761u) >> 24];
    if (m.used && m.fractionBits == bits && std::memcmp(&m.from, &from, sizeof from) == 0 &&
        std::memcmp(&m.to, &to, sizeof to) == 0)
        return m.rotation;
    m.used = true;
    m.from = from;
    m.to = to;
    m.fractionBits = bits;
    m.rotation = Interpolate(from, to, t);
    return m.rotation;
}

// The control rotations of the track's current segment and its fixed arcs.
static void StartSegment(const AnimationTrack& track, PlayingTrack& play) {
    ComputeControlRotations(track, play.state, play.control1, play.control2);
    const AnimationTrackState& s = play.state;
    play.arcs[0] = QuaternionInterpolationArc(track.keys[(size_t)s.from].rotation, play.control1);
    play.arcs[1] = QuaternionInterpolationArc(play.control1, play.control2);
    play.arcs[2] = QuaternionInterpolationArc(play.control2, track.keys[(size_t)s.to].rotation);
}

void ComputeControlRotations(const AnimationTrack& track, const AnimationTrackState& s,
                             Quaternion& c1, Quaternion& c2) {
    size_t n = track.keys.size();
    const Quaternion& p = track.keys[(size_t)s.previous].rotation;
    const Quaternion& f = track.keys[(size_t)s.from].rotation;
    const Quaternion& t = track.keys[(size_t)s.to].rotation;
    const Quaternion& next = track.keys[((size_t)s.to + 1) % n].rotation;
    Quaternion a = NormalizedSum(t, Reflect(f, p), f);
    c1 = Interpolate(a, f, 0.33f);
    Quaternion b = NormalizedSum(next, Reflect(t, f), t);
    c2 = Interpolate(Reflect(t, b), t, 0.33f);
}

Quaternion BlendRotations(std::vector<Quaternion> r) {
    return BlendRotationsInPlace(r.data(), r.size());
}

Quaternion BlendRotationsInPlace(Quaternion* r, size_t count) {
    if (count == 0)
        return Quaternion();
    for (size_t n = count; n >= 2; n--) {
        for (size_t i = 0; i + 1 < n; i++)
            r[i] = Interpolate(r[i], r[i + 1], 0.5f);
    }
    return r[0];
}

CAnimator::CAnimator()
    : smoothing(false), smoothElapsed(0.0f), smoothDuration(0.0f), bound(false) {}

void CAnimator::Bind(const CModel& newModel) {
    if (bound) {
        pose.clear();
        snapshot.clear();
    }
    // Pointers into another model's nodes mean nothing here.
    if (newModel.GetRecord() != model.GetRecord())
        excluded.clear();
    model = newModel;
    if (CNode* root = model.GetRoot()) {
        std::vector<CNode*> bones;
        root->CollectDescendants(bones);
        for (CNode* bone : bones) {
            BonePose p;
            p.bone = bone;
            pose.push_back(p);
            snapshot.push_back(p);
        }
    }
    for (PlayingAnimation& entry : playing)
        ResolveBones(entry);
    bound = true;
}

CNode* CAnimator::FindBone(const std::string& name) {
    CNode* root = model.GetRoot();
    if (!root)
        return nullptr;
    if (root->name == name)
        return root;
    return model.FindNodeIn(root, name);
}

void CAnimator::ResolveBones(PlayingAnimation& entry) {
    entry.tracks.resize(entry.clip->tracks.size());
    for (size_t t = 0; t < entry.tracks.size(); t++) {
        CNode* bone = FindBone(entry.clip->tracks[t].boneName);
        entry.tracks[t].bone = bone;
        entry.tracks[t].poseSlot = bone ? FindPoseIndex(bone) : -1;
    }
}

bool CAnimator::Play(const std::string& clipName, int mode, float value, float fadeTime) {
    CAnimationClip* clip = GetAnimationClip(clipName);
    if (!clip)
        return false;
    return PlayClip(clip, mode, value, fadeTime);
}

bool CAnimator::PlayClip(CAnimationClip* clip, int mode, float value, float fadeTime) {
    if (!clip)
        return false;
    PlayingAnimation entry;
    entry.clip = clip;
    entry.clipGeneration = AnimationClipGeneration();
    if (mode == 0) {
        entry.mode = 1;
        entry.timeLeft = clip->length * value;
    } else {
        entry.mode = mode;
        entry.timeLeft = value;
    }
    entry.fadeTime = fadeTime;
    ResolveBones(entry);
    for (size_t t = 0; t < entry.tracks.size(); t++) {
        const AnimationTrack& track = clip->tracks[t];
        PlayingTrack& play = entry.tracks[t];
        int n = (int)track.keys.size();
        // Start on the segment from the last key to the first. With one key
        // or none the indices are never used.
        play.state.previous = n - 2;
        play.state.from = n - 1;
        play.state.to = 0;
        if (n > 2)
            StartSegment(track, play);
        if (n == 2) {
            play.arcs[0] = QuaternionInterpolationArc(track.keys[0].rotation, track.keys[1].rotation);
            play.arcs[1] = QuaternionInterpolationArc(track.keys[1].rotation, track.keys[0].rotation);
        }
    }
    playing.push_back(std::move(entry));
    return true;
}

void CAnimator::StopEntry(std::list<PlayingAnimation>::iterator entry, float fadeTime) {
    if (fadeTime > 0.00001f)
        StartSmoothing(fadeTime);
    playing.erase(entry);
}

void CAnimator::DropFreedClips() {
    playing.remove_if([](const PlayingAnimation& entry) {
        return entry.clipGeneration != AnimationClipGeneration();
    });
}

bool CAnimator::Stop(const std::string& clipName, float fadeTime) {
    DropFreedClips();
    for (auto it = playing.begin(); it != playing.end(); ++it) {
        if (EqualIgnoringCase(it->clip->name, clipName)) {
            StopEntry(it, fadeTime);
            return true;
        }
    }
    return false;
}

void CAnimator::StopAll() {
    playing.clear();
    smoothing = false;
}

bool CAnimator::IsPlaying(const std::string& name) const {
    for (const PlayingAnimation& entry : playing) {
        if (entry.clipGeneration == AnimationClipGeneration() && EqualIgnoringCase(entry.clip->name, name))
            return true;
    }
    return smoothing && EqualIgnoringCase(name, "Smoother");
}

void CAnimator::StartSmoothing(float duration) {
    for (size_t i = 0; i < pose.size() && i < snapshot.size(); i++)
        snapshot[i].rotation = pose[i].rotation;
    smoothElapsed = 0.0f;
    smoothDuration = duration;
    smoothing = true;
}

void CAnimator::ExcludeBones(CNode* node) {
    if (!node)
        return;
    std::vector<CNode*> below;
    node->CollectDescendants(below);
    for (CNode* bone : below) {
        if (!IsExcluded(bone))
            excluded.push_back(bone);
    }
}

bool CAnimator::IsExcluded(const CNode* node) const {
    for (const CNode* e : excluded) {
        if (e == node)
            return true;
    }
    return false;
}

int CAnimator::GetPlayingCount() const {
    int count = smoothing ? 1 : 0;
    for (const PlayingAnimation& entry : playing)
        count += entry.clipGeneration == AnimationClipGeneration() ? 1 : 0;
    return count;
}

int CAnimator::FindPoseIndex(const CNode* node) const {
    for (size_t i = 0; i < pose.size(); i++) {
        if (pose[i].bone == node)
            return (int)i;
    }
    return -1;
}

void CAnimator::GetPlayingClips(std::vector<CAnimationClip*>& out) const {
    for (const PlayingAnimation& entry : playing) {
        if (entry.clipGeneration == AnimationClipGeneration())
            out.push_back(entry.clip);
    }
}

bool CAnimator::Skipped(const PlayingAnimation& entry, size_t track) const {
    const CNode* bone = entry.tracks[track].bone;
    return !bone || IsExcluded(bone);
}

void CAnimator::EvaluateTrack(PlayingAnimation& entry, size_t t, float dt) {
    const AnimationTrack& track = entry.clip->tracks[t];
    const std::vector<AnimationKey>& keys = track.keys;
    int n = (int)keys.size();
    if (n == 0)
        return;
    PlayingTrack& play = entry.tracks[t];
    if (n == 1) {
        play.rotation = keys[0].rotation;
        return;
    }
    AnimationTrackState& s = play.state;
    float& elapsed = play.elapsed;
    elapsed += dt;
    float length = SegmentLength(track, s);
    if (n == 2) {
        // The overshoot carries into the next segment. Whole cycles change
        // nothing, so they are taken off at once (the two segments of keys
        // in order add up to the second key's time, a first key at 0 too);
        // the step bound keeps keys out of order from looping forever.
        float cycle = keys[1].time;
        if (keys[0].time >= 0.0f && cycle > keys[0].time && elapsed > cycle)
            elapsed = std::fmod(elapsed, cycle);
        for (int step = 0; elapsed > length && step < n; step++) {
            elapsed -= length;
            Advance(s, n);
            length = SegmentLength(track, s);
        }
        float f = length > 0.0f ? std::fmin(elapsed / length, 1.0f) : 1.0f;
        if (!Recall(track, s, f, play.rotation)) {
            QuaternionInterpolateArc(play.rotation, keys[(size_t)s.from].rotation, play.arcs[s.from], f);
            Remember(track, s, f, play.rotation);
        }
        return;
    }
    if (elapsed > length) {
        // One segment per update; the overshoot is dropped.
        elapsed = 0.0f;
        Advance(s, n);
        StartSegment(track, play);
        length = SegmentLength(track, s);
    }
    // A segment of no length is already at its end (0 / 0 would be NaN).
    float f = length > 0.0f ? elapsed / length : 1.0f;
    if (Recall(track, s, f, play.rotation))
        return;
    Quaternion q0, q1, q2;
    QuaternionInterpolateArc(q0, keys[(size_t)s.from].rotation, play.arcs[0], f);
    QuaternionInterpolateArc(q1, play.control1, play.arcs[1], f);
    QuaternionInterpolateArc(q2, play.control2, play.arcs[2], f);
    Quaternion r0 = Interpolate(q0, q1, f);
    Quaternion r1 = Interpolate(q1, q2, f);
    QuaternionNormalize(play.rotation, Interpolate(r0, r1, f));
    Remember(track, s, f, play.rotation);
}

void CAnimator::Update(float dt) {
    DropFreedClips();
    if (smoothing) {
        smoothElapsed += dt;
        if (smoothDuration <= smoothElapsed)
            smoothing = false;
    }
    for (auto it = playing.begin(); it != playing.end();) {
        PlayingAnimation& entry = *it;
        for (size_t t = 0; t < entry.clip->tracks.size(); t++) {
            if (!Skipped(entry, t))
                EvaluateTrack(entry, t, dt);
        }
        if (entry.mode != 2) {
            entry.timeLeft -= dt;
            if (entry.timeLeft < 0.0f) {
                auto done = it++;
                StopEntry(done, done->fadeTime);
                continue;
            }
        }
        ++it;
    }

    // Gather each pose bone's rotations in the order the entries play them;
    // bones outside the pose are not written. First count them per bone,
    // then file them.
    blendStart.assign(pose.size() + 1, 0);
    for (const PlayingAnimation& entry : playing) {
        for (size_t t = 0; t < entry.tracks.size(); t++) {
            if (entry.tracks[t].poseSlot >= 0 && !Skipped(entry, t))
                blendStart[(size_t)entry.tracks[t].poseSlot + 1]++;
        }
    }
    for (size_t i = 0; i < pose.size(); i++)
        blendStart[i + 1] += blendStart[i];
    blend.resize(blendStart[pose.size()]);
    for (const PlayingAnimation& entry : playing) {
        for (size_t t = 0; t < entry.tracks.size(); t++) {
            if (entry.tracks[t].poseSlot >= 0 && !Skipped(entry, t))
                blend[blendStart[(size_t)entry.tracks[t].poseSlot]++] = entry.tracks[t].rotation;
        }
    }
    // Filing moved each start to the next bone's: bone i's run now ends at
    // blendStart[i] and starts at blendStart[i - 1].

    for (size_t i = 0; i < pose.size(); i++) {
        CNode* bone = pose[i].bone;
        size_t begin = i == 0 ? 0 : blendStart[i - 1], count = blendStart[i] - begin;
        Quaternion rotation =
            count == 0 ? bone->bindQuaternion : BlendRotationsInPlace(blend.data() + begin, count);
        if (smoothing) {
            Quaternion& from = snapshot[i].rotation;
            if (Dot(from, rotation) < 0.0f) {
                from.w = -from.w;
                from.x = -from.x;
                from.y = -from.y;
                from.z = -from.z;
            }
            rotation = SmoothedRotation(from, rotation, smoothElapsed / smoothDuration);
        }
        BonePose& p = pose[i];
        p.rotation = rotation;
        if (!p.matrixKnown || std::memcmp(&p.matrixRotation, &rotation, sizeof rotation) != 0) {
            RotationMatrix(p.matrix, rotation);
            p.matrixRotation = rotation;
            p.matrixKnown = true;
        }
        bone->SetRotation(p.matrix, false);
    }
}
