// The soldier's animation clips. Each track holds the local rotation of one bone
// of the soldier's tree; bones rest at the identity, so a key is the whole
// rotation. Looping clips put their last key at the loop length (equal to the
// start pose) and the first at one step, since playback begins on the segment
// from the last key to the first.
#include <cmath>
#include <string>
#include <vector>

#include "tools/datagen/content.h"
#include "tools/datagen/geometry.h"
#include "tools/datagen/skeleton.h"
#include "tools/datagen/text_format.h"

namespace {

const Vec3 Down(0, 0, -1);
const Vec3 XAxis(1, 0, 0);
const Vec3 YAxis(0, 1, 0);

struct Key {
  Quat q;
  float time;
};

struct Track {
  std::string bone;
  std::vector<Key> keys;
};

struct Clip {
  std::string name;
  float length = 0;
  std::vector<Track> tracks;

  Track& TrackFor(const std::string& bone) {
    for (Track& t : tracks)
      if (t.bone == bone) return t;
    tracks.push_back(Track{bone, {}});
    return tracks.back();
  }
};

// Swinging a hanging limb forward (toward +x) by a radians.
Quat Forward(float a) { return AxisAngle(YAxis, -a); }
// Swinging a hanging limb out to the right (toward +y) by a radians.
Quat Outward(float a) { return AxisAngle(XAxis, a); }

// Rotations of an upper arm and forearm (both hanging at rest) that put the wrist
// at 'target', in the chest's frame; the elbow bends toward 'pole'.
void ReachArm(Vec3 shoulder, Vec3 target, Vec3 pole, Quat& upper, Quat& fore) {
  Vec3 toTarget = target - shoulder;
  float d = Length(toTarget);
  float reach = UpperArmLength + ForearmLength - 0.002f;
  if (d > reach) d = reach;
  Vec3 u = Normalize(toTarget);
  Vec3 v = Normalize(pole - u * Dot(pole, u));
  float cosA = (UpperArmLength * UpperArmLength + d * d - ForearmLength * ForearmLength) /
               (2 * UpperArmLength * d);
  cosA = std::fmax(-1.0f, std::fmin(1.0f, cosA));
  float sinA = std::sqrt(1 - cosA * cosA);
  Vec3 elbowDir = u * cosA + v * sinA;
  Vec3 elbow = shoulder + elbowDir * UpperArmLength;
  Vec3 wrist = shoulder + u * d;
  upper = RotationBetween(Down, elbowDir);
  Vec3 foreDir = Rotate(Conjugate(upper), Normalize(wrist - elbow));
  fore = RotationBetween(Down, foreDir);
}

void ArmKeys(Clip& clip, const char* side, Vec3 target, Vec3 pole, float time) {
  std::string s = side;
  Quat upper, fore;
  ReachArm(RestPosition((s + "UpperArm").c_str()) - RestPosition("Chest"), target, pole, upper, fore);
  clip.TrackFor(s + "UpperArm").keys.push_back({upper, time});
  clip.TrackFor(s + "Forearm").keys.push_back({fore, time});
}

// Where the hands hold a weapon, in the chest's frame.
const Vec3 RightGrip(0.34f, 0.16f, 0.18f);
const Vec3 LeftGrip(0.42f, 0.0f, 0.26f);
const Vec3 RightPole(0, 1, -1);
const Vec3 LeftPole(0, -1, -1);

// One stride of the legs; 'phase' runs 0..1 over the loop.
void RunPose(Clip& clip, float phase, float time) {
  float a = 2 * Pi * phase;
  for (int side = 0; side < 2; ++side) {
    std::string s = side ? "L" : "R";
    float shift = side ? Pi : 0;
    float swing = 0.6f * std::sin(a + shift);
    float knee = 0.15f + 1.1f * std::fmax(0.0f, std::cos(a + shift));
    clip.TrackFor(s + "Thigh").keys.push_back({Forward(swing), time});
    clip.TrackFor(s + "Shin").keys.push_back({Forward(-knee), time});
    clip.TrackFor(s + "Foot").keys.push_back({Forward(0.5f * (knee - swing)), time});
  }
}

// A side step toward -y (the soldier's left): the legs open and close in turn.
void StrafePose(Clip& clip, float phase, float time) {
  float a = 2 * Pi * phase;
  float left = -0.32f * (0.5f + 0.5f * std::sin(a));
  float right = 0.32f * (0.5f - 0.5f * std::sin(a));
  float leftKnee = 0.1f + 0.55f * std::fmax(0.0f, std::cos(a));
  float rightKnee = 0.1f + 0.55f * std::fmax(0.0f, -std::cos(a));
  clip.TrackFor("LThigh").keys.push_back({Outward(left) * Forward(0.15f), time});
  clip.TrackFor("LShin").keys.push_back({Forward(-leftKnee), time});
  clip.TrackFor("LFoot").keys.push_back({Outward(-left) * Forward(0.5f * leftKnee - 0.15f), time});
  clip.TrackFor("RThigh").keys.push_back({Outward(right) * Forward(0.15f), time});
  clip.TrackFor("RShin").keys.push_back({Forward(-rightKnee), time});
  clip.TrackFor("RFoot").keys.push_back({Outward(-right) * Forward(0.5f * rightKnee - 0.15f), time});
}

template <typename Pose>
Clip Loop(const char* name, float length, int steps, bool reverse, Pose pose) {
  Clip clip;
  clip.name = name;
  clip.length = length;
  for (int i = 1; i <= steps; ++i) {
    float phase = (float)i / steps;
    pose(clip, reverse ? 1.0f - phase : phase, length * i / steps);
  }
  return clip;
}

Clip HoldClip() {
  Clip clip;
  clip.name = "hold_mg";
  clip.length = 2.0f;
  // A slow breath: the hands rise a little and settle.
  ArmKeys(clip, "R", RightGrip + Vec3(0, 0, 0.012f), RightPole, 1.0f);
  ArmKeys(clip, "L", LeftGrip + Vec3(0, 0, 0.012f), LeftPole, 1.0f);
  ArmKeys(clip, "R", RightGrip, RightPole, 2.0f);
  ArmKeys(clip, "L", LeftGrip, LeftPole, 2.0f);
  return clip;
}

Clip FireClip() {
  Clip clip;
  clip.name = "fire_mg";
  clip.length = 0.4f;
  // The kick throws the hands back and up; they come back over the rest of the clip.
  const Vec3 kicks[4] = {Vec3(-0.06f, 0, 0.03f), Vec3(-0.035f, 0, 0.02f), Vec3(-0.012f, 0, 0.006f),
                         Vec3()};
  for (int i = 0; i < 4; ++i) {
    float time = 0.1f * (i + 1);
    ArmKeys(clip, "R", RightGrip + kicks[i], RightPole, time);
    ArmKeys(clip, "L", LeftGrip + kicks[i], LeftPole, time);
  }
  return clip;
}

Clip ThrowClip() {
  Clip clip;
  clip.name = "throw_g";
  clip.length = 1.0f;
  // Left-handed overarm throw; the grenade leaves the hand 0.3 s before the end.
  struct Step {
    Vec3 hand, pole;
    float time;
  };
  const Step steps[5] = {{Vec3(-0.15f, -0.35f, 0.05f), Vec3(0, -1, 0), 0.15f},
                         {Vec3(-0.25f, -0.30f, 0.75f), Vec3(-1, -1, 1), 0.45f},
                         {Vec3(0.45f, -0.20f, 0.75f), Vec3(0, -1, 1), 0.70f},
                         {Vec3(0.35f, -0.10f, 0.20f), Vec3(0, -1, -1), 0.85f},
                         {LeftGrip, LeftPole, 1.0f}};
  for (const Step& s : steps) ArmKeys(clip, "L", s.hand, s.pole, s.time);
  return clip;
}

// Keys of a track are kept on one side of the quaternion sphere, so that each
// segment turns the short way.
void KeepHemisphere(Clip& clip) {
  for (Track& t : clip.tracks)
    for (size_t i = 0; i < t.keys.size(); ++i) {
      Quat& q = t.keys[i].q;
      const Quat& prev = i ? t.keys[i - 1].q : Quat();
      if (q.w * prev.w + q.x * prev.x + q.y * prev.y + q.z * prev.z < 0) q = Quat(-q.w, -q.x, -q.y, -q.z);
    }
}

std::string ClipText(Clip clip) {
  KeepHemisphere(clip);
  std::string t = "Clip " + clip.name + "\nLength " + FormatFloat(clip.length) + "\nTracks " +
                  std::to_string(clip.tracks.size()) + "\n";
  for (const Track& track : clip.tracks) {
    t += "Bone " + track.bone + "\nKeys " + std::to_string(track.keys.size()) + "\nValues\n";
    for (const Key& k : track.keys) {
      Quat q = QuatNormalize(k.q);
      t += "  " + FormatFloat(q.w, 6) + " " + FormatFloat(q.x, 6) + " " + FormatFloat(q.y, 6) + " " +
           FormatFloat(q.z, 6) + " " + FormatFloat(k.time) + "\n";
    }
  }
  return t;
}

}  // namespace

void WriteAnimationClips(OutputFolder& out) {
  std::vector<Clip> clips;
  clips.push_back(Loop("run_f", 0.7f, 8, false, RunPose));
  clips.push_back(Loop("run_b", 0.8f, 8, true, RunPose));
  clips.push_back(Loop("strafe_l", 0.8f, 8, false, StrafePose));
  clips.push_back(Loop("strafe_r", 0.8f, 8, true, StrafePose));
  clips.push_back(HoldClip());
  clips.push_back(FireClip());
  clips.push_back(ThrowClip());
  for (const Clip& c : clips) out.Write("animations\\" + c.name + ".txt", ClipText(c));
}
