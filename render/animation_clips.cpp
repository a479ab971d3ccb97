// The alias list and the clip registry. Files are read into a local record
// and kept only when whole, so a missing or broken clip that a soldier asks
// for every frame costs a failed open, never a new registry entry.
#include <fstream>

#include "core/error.h"
#include "core/files.h"
#include "core/strings.h"
#include "render/animation.h"

namespace {

// Bounds on the counts a file may give; beyond them the file is malformed.
const unsigned MaxAliases = 65536;
const unsigned MaxTracks = 4096;
const unsigned MaxKeys = 1 << 20;

bool ReadWord(std::istream& in, std::string& out) {
    return (bool)(in >> out);
}

// A count must be plain decimal digits within max: "-1" is not 4294967295.
bool ReadCount(std::istream& in, unsigned max, unsigned& out) {
    std::string token;
    if (!ReadWord(in, token) || token.size() > 9)
        return false;
    unsigned value = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (unsigned)(c - '0');
    }
    out = value;
    return value <= max;
}

bool ReadFloatToken(std::istream& in, float& out) {
    std::string token;
    if (!ReadWord(in, token))
        return false;
    out = TextToFloat(token);
    return true;
}

}  // namespace

std::list<CAnimationClip>& AnimationClipRegistry() {
    static std::list<CAnimationClip>& clips = *new std::list<CAnimationClip>;
    return clips;
}

std::vector<std::pair<std::string, std::string>>& AnimationAliasList() {
    static auto& aliases = *new std::vector<std::pair<std::string, std::string>>;
    return aliases;
}

std::string& AnimationListPath() {
    static std::string& path = *new std::string("data\\animations\\list.txt");
    return path;
}

bool ReadAnimationList(std::istream& in, std::vector<std::pair<std::string, std::string>>& out) {
    std::string label;
    unsigned count = 0;
    if (!ReadWord(in, label) || !ReadCount(in, MaxAliases, count) || !ReadWord(in, label))
        return false;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (unsigned i = 0; i < count; i++) {
        std::pair<std::string, std::string> p;
        if (!ReadWord(in, p.first) || !ReadWord(in, p.second))
            return false;
        pairs.push_back(p);
    }
    out.insert(out.end(), pairs.begin(), pairs.end());
    return true;
}

bool LoadAnimationList() {
    std::ifstream in;
    if (!OpenInputFile(in, AnimationListPath())) {
        ReportError("Error", "LoadAnimationList()-cannot open " + AnimationListPath());
        return false;
    }
    if (!ReadAnimationList(in, AnimationAliasList())) {
        ReportError("Error", "LoadAnimationList()-malformed " + AnimationListPath());
        return false;
    }
    return true;
}

bool ResolveAnimationAlias(const std::string& alias, std::string& path) {
    for (const auto& p : AnimationAliasList()) {
        if (EqualIgnoringCase(p.first, alias)) {
            path = p.second;
            return true;
        }
    }
    return false;
}

bool FindAnimationClip(const std::string& name, CAnimationClip*& out) {
    for (CAnimationClip& clip : AnimationClipRegistry()) {
        if (EqualIgnoringCase(clip.name, name)) {
            out = &clip;
            return true;
        }
    }
    return false;
}

bool ReadAnimationClip(std::istream& in, CAnimationClip& clip) {
    std::string label;
    unsigned trackCount = 0;
    if (!ReadWord(in, label) || !ReadWord(in, clip.name) || !ReadWord(in, label) ||
        !ReadFloatToken(in, clip.length) || !ReadWord(in, label) ||
        !ReadCount(in, MaxTracks, trackCount))
        return false;
    clip.tracks.clear();
    for (unsigned t = 0; t < trackCount; t++) {
        AnimationTrack track;
        unsigned keyCount = 0;
        if (!ReadWord(in, label) || !ReadWord(in, track.boneName) || !ReadWord(in, label) ||
            !ReadCount(in, MaxKeys, keyCount) || !ReadWord(in, label))
            return false;
        for (unsigned k = 0; k < keyCount; k++) {
            AnimationKey key;
            if (!ReadFloatToken(in, key.rotation.w) || !ReadFloatToken(in, key.rotation.x) ||
                !ReadFloatToken(in, key.rotation.y) || !ReadFloatToken(in, key.rotation.z) ||
                !ReadFloatToken(in, key.time))
                return false;
            track.keys.push_back(key);
        }
        clip.tracks.push_back(std::move(track));
    }
    return true;
}

CAnimationClip* GetAnimationClip(const std::string& name) {
    CAnimationClip* clip = nullptr;
    if (FindAnimationClip(name, clip))
        return clip;
    std::string path;
    if (!ResolveAnimationAlias(name, path))
        return nullptr;
    // A file whose stored name differs from its alias is found by its path,
    // or every request would read it again.
    for (CAnimationClip& c : AnimationClipRegistry()) {
        if (EqualIgnoringCase(c.sourcePath, path))
            return &c;
    }
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        ReportError("Error", "LoadAnimationClip()-cannot open " + path);
        return nullptr;
    }
    CAnimationClip loaded;
    if (!ReadAnimationClip(in, loaded)) {
        ReportError("Error", "LoadAnimationClip()-malformed " + path);
        return nullptr;
    }
    loaded.sourcePath = path;
    AnimationClipRegistry().push_back(std::move(loaded));
    return &AnimationClipRegistry().back();
}

bool LoadAnimationClip(const std::string& name) {
    return GetAnimationClip(name) != nullptr;
}

bool GetAnimationClipLength(const std::string& name, float& length) {
    CAnimationClip* clip = GetAnimationClip(name);
    if (!clip)
        return false;
    length = clip->length;
    return true;
}

namespace {
int clipGeneration;
}

int AnimationClipGeneration() {
    return clipGeneration;
}

void ClearAnimationClips() {
    AnimationClipRegistry().clear();
    clipGeneration++;
}

int LoadAnimationClips(const std::vector<std::string>& names) {
    int loaded = 0;
    for (const std::string& name : names) {
        if (LoadAnimationClip(name))
            loaded++;
    }
    return loaded;
}
