// Collision cache files: writers, readers and the checks that keep a bad
// file from ever reaching the collision tests.
#include "game/collision/collision_cache.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <system_error>

#include "core/files.h"
#include "core/strings.h"
#include "game/collision/collision_model.h"

namespace {

const char* CollisionFolder = "gen\\data\\collision\\";
// Far above any mesh the game holds; keeps a garbled count from running on.
const int32_t MaxListCount = 1 << 24;

void WriteVector(std::ostream& out, const Vector3& v) {
    out << v.x << " " << v.y << " " << v.z << "\n";
}

void WriteList(std::ostream& out, const char* label, const std::vector<int32_t>& list) {
    out << label << list.size() << "\n";
    for (size_t i = 0; i < list.size(); i++)
        out << (i ? " " : "") << list[i];
    out << "\n";
}

void WriteNode(std::ostream& out, const CCollisionNode& node) {
    const OrientedBox& b = node.box;
    out << "\n//Bounding_Box_Center\n";
    WriteVector(out, b.centre);
    out << "//Bounding_Box_x_axis\n";
    WriteVector(out, b.axis[0]);
    out << "//Bounding_Box_y_axis\n";
    WriteVector(out, b.axis[1]);
    out << "//Bounding_Box_z_axis\n";
    WriteVector(out, b.axis[2]);
    out << "//Bounding_Box_halflengths\n";
    WriteVector(out, Vector3{b.halfExtent[0], b.halfExtent[1], b.halfExtent[2]});
    WriteList(out, "//Bounding_Box_triangles: ", node.triangles);
    WriteList(out, "//Bounding_Box_indicies: ", node.indices);
    out << "//Number_of_Bounding_Box_Children\n" << node.children.size() << "\n";
    for (const CCollisionNode* child : node.children)
        WriteNode(out, *child);
}

void WriteVectorList(std::ostream& out, const char* label, const std::vector<Vector3>& list) {
    out << label << list.size() << "\n";
    for (size_t i = 0; i < list.size(); i++) {
        const Vector3& v = list[i];
        out << (i ? " " : "") << v.x << " " << v.y << " " << v.z;
    }
    out << "\n";
}

bool PlausibleRadius(float radius) {
    return radius >= 0.0f && radius <= CollisionCacheMaxRadius;
}

// Whitespace-separated words with every step checked. Numbers must fill
// their word and are read without any locale. Labels are one word each and
// are never compared: a file with altered labels reads the same.
class CacheReader {
public:
    explicit CacheReader(const std::string& text)
        : at(text.data()), end(text.data() + text.size()) {}

    bool Label() {
        const char *first, *last;
        return Word(first, last);
    }
    bool Float(float& f) {
        const char *first, *last;
        if (!Word(first, last))
            return false;
        std::from_chars_result r = std::from_chars(Unsigned(first, last), last, f);
        return r.ec == std::errc() && r.ptr == last && std::isfinite(f);
    }
    bool Int(int32_t& n) {
        const char *first, *last;
        if (!Word(first, last))
            return false;
        std::from_chars_result r = std::from_chars(Unsigned(first, last), last, n);
        return r.ec == std::errc() && r.ptr == last;
    }
    bool Vector(Vector3& v) { return Float(v.x) && Float(v.y) && Float(v.z); }
    bool LabelledVector(Vector3& v) { return Label() && Vector(v); }
    // The head of both files: radius, then centre, each after its label.
    bool Sphere(::Sphere& s) {
        return Label() && Float(s.radius) && PlausibleRadius(s.radius) && LabelledVector(s.centre);
    }
    bool Count(int32_t& n, int32_t most) { return Int(n) && n >= 0 && n <= most; }
    // A label, a count, then that many integers; storage grows only with
    // what was actually read.
    bool List(std::vector<int32_t>& out) {
        int32_t n;
        if (!Label() || !Count(n, MaxListCount))
            return false;
        for (int32_t i = 0; i < n; i++) {
            int32_t v;
            if (!Int(v))
                return false;
            out.push_back(v);
        }
        return true;
    }
    bool VectorList(std::vector<Vector3>& out) {
        int32_t n;
        if (!Label() || !Count(n, MaxListCount))
            return false;
        for (int32_t i = 0; i < n; i++) {
            Vector3 v;
            if (!Vector(v))
                return false;
            out.push_back(v);
        }
        return true;
    }

private:
    static bool Space(char c) {
        return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
    }
    bool Word(const char*& first, const char*& last) {
        while (at < end && Space(*at))
            at++;
        first = at;
        while (at < end && !Space(*at))
            at++;
        last = at;
        return first != last;
    }
    // A leading '+', which stream extraction took, is allowed before a number.
    static const char* Unsigned(const char* first, const char* last) {
        if (last - first > 1 && first[0] == '+' && first[1] != '-')
            return first + 1;
        return first;
    }

    const char* at;
    const char* end;
};

bool ReadNode(CacheReader& reader, CCollisionNode& node, int depth) {
    OrientedBox& b = node.box;
    Vector3 half;
    if (!reader.LabelledVector(b.centre) || !reader.LabelledVector(b.axis[0]) ||
        !reader.LabelledVector(b.axis[1]) || !reader.LabelledVector(b.axis[2]) ||
        !reader.LabelledVector(half))
        return false;
    if (half.x < 0 || half.y < 0 || half.z < 0)
        return false;
    b.halfExtent[0] = half.x;
    b.halfExtent[1] = half.y;
    b.halfExtent[2] = half.z;
    int32_t childCount;
    if (!reader.List(node.triangles) || !reader.List(node.indices) || !reader.Label() ||
        !reader.Count(childCount, CollisionMaxChildren))
        return false;
    if (childCount > 0 && depth + 1 >= CollisionCacheMaxDepth)
        return false;
    for (int32_t i = 0; i < childCount; i++) {
        CCollisionNode* child = new CCollisionNode;
        node.AddChild(child);
        if (!ReadNode(reader, *child, depth + 1))
            return false;
    }
    return true;
}

// Every offset names a whole triangle, every index a vertex, index lists
// are ascending and hold the corners of the node's triangles.
bool NodeConsistent(const CCollisionNode& node, const CollisionGeometry& g) {
    if (node.triangles.empty() || node.indices.empty())
        return false;
    for (size_t i = 0; i < node.indices.size(); i++) {
        int32_t v = node.indices[i];
        if (v < 0 || (size_t)v >= g.vertices.size() || (i > 0 && v <= node.indices[i - 1]))
            return false;
    }
    for (int32_t offset : node.triangles) {
        if (offset < 0 || offset % 3 != 0 || (size_t)offset >= g.indices.size())
            return false;
        for (int k = 0; k < 3; k++) {
            if (!std::binary_search(node.indices.begin(), node.indices.end(), g.indices[offset + k]))
                return false;
        }
    }
    for (const CCollisionNode* child : node.children) {
        if (!NodeConsistent(*child, g))
            return false;
    }
    return true;
}

bool GeometryConsistent(const CollisionGeometry& g) {
    if (g.indices.empty() || g.indices.size() % 3 != 0 || g.normals.size() != g.indices.size() / 3 ||
        g.vertices.empty())
        return false;
    for (int32_t v : g.indices) {
        if (v < 0 || (size_t)v >= g.vertices.size())
            return false;
    }
    return true;
}

bool ParseModelInto(const std::string& text, CCollisionModel& out) {
    CacheReader reader(text);
    if (!reader.Sphere(out.sphere))
        return false;
    out.root = new CCollisionNode;
    return ReadNode(reader, *out.root, 0) && reader.List(out.geometry.indices) &&
           reader.VectorList(out.geometry.vertices) && reader.VectorList(out.geometry.normals) &&
           GeometryConsistent(out.geometry) && NodeConsistent(*out.root, out.geometry);
}

CollisionCacheRead ReadCacheText(const std::string& path, std::string& text) {
    std::ifstream in;
    if (!OpenInputFile(in, path))
        return CollisionCacheMissing;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return CollisionCacheGood;
}

std::ostringstream ClassicStream() {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    return out;
}

std::string PathInFolder(const std::string& fileName) {
    return IsPlainFileName(fileName) ? CollisionFolder + fileName : std::string();
}

} // namespace

std::string CollisionModelPath(const std::string& prefix, const std::string& meshName) {
    if (prefix.empty())
        return PathInFolder(meshName + ".col");
    return PathInFolder(prefix + "_" + meshName + ".col");
}

std::string BoundingSpherePath(const std::string& name) {
    return PathInFolder(name + ".sph");
}

std::string FormatCollisionModel(const CCollisionModel& model) {
    std::ostringstream out = ClassicStream();
    out << "//Bounding_Sphere_Radius\n" << model.sphere.radius << "\n";
    out << "//Bounding_Sphere_Center\n";
    WriteVector(out, model.sphere.centre);
    if (model.root)
        WriteNode(out, *model.root);
    WriteList(out, "\n//Convex_Hull_Indicies: ", model.geometry.indices);
    WriteVectorList(out, "//Convex_Hull_Verticies: ", model.geometry.vertices);
    WriteVectorList(out, "//Convex_Hull_Normals: ", model.geometry.normals);
    return out.str();
}

std::string FormatBoundingSphere(const Sphere& sphere) {
    std::ostringstream out = ClassicStream();
    out << "//Bounding_Sphere_Radius\n" << sphere.radius << "\n";
    out << "//Bounding_Sphere_Center\n";
    WriteVector(out, sphere.centre);
    return out.str();
}

bool ParseCollisionModel(const std::string& text, CCollisionModel& out) {
    delete out.root;
    out.root = nullptr;
    out.sphere = Sphere();
    out.geometry = CollisionGeometry();
    if (ParseModelInto(text, out))
        return true;
    delete out.root;
    out.root = nullptr;
    out.sphere = Sphere();
    out.geometry = CollisionGeometry();
    return false;
}

bool ParseBoundingSphere(const std::string& text, Sphere& out) {
    CacheReader reader(text);
    Sphere s;
    if (!reader.Sphere(s))
        return false;
    out = s;
    return true;
}

CollisionCacheRead ReadCollisionModelFile(const std::string& path, CCollisionModel& out) {
    std::string text;
    if (ReadCacheText(path, text) == CollisionCacheMissing)
        return CollisionCacheMissing;
    return ParseCollisionModel(text, out) ? CollisionCacheGood : CollisionCacheBad;
}

CollisionCacheRead ReadBoundingSphereFile(const std::string& path, Sphere& out) {
    std::string text;
    if (ReadCacheText(path, text) == CollisionCacheMissing)
        return CollisionCacheMissing;
    return ParseBoundingSphere(text, out) ? CollisionCacheGood : CollisionCacheBad;
}

bool WriteCollisionModelFile(const std::string& path, const CCollisionModel& model) {
    return PlausibleRadius(model.sphere.radius) && WriteFileReplacing(path, FormatCollisionModel(model));
}

bool WriteBoundingSphereFile(const std::string& path, const Sphere& sphere) {
    return PlausibleRadius(sphere.radius) && WriteFileReplacing(path, FormatBoundingSphere(sphere));
}

bool WriteFileReplacing(const std::string& path, const std::string& text) {
    if (path.empty())
        return false;
    std::string temp = path + ".tmp";
    {
        std::ofstream out;
        if (!OpenOutputFile(out, temp))
            return false;
        out << text;
        out.close();
        if (out.fail()) {
            std::remove(NativePath(temp).c_str());
            return false;
        }
    }
    // Windows will not rename onto an existing file.
    std::remove(NativePath(path).c_str());
    if (std::rename(NativePath(temp).c_str(), NativePath(path).c_str()) != 0) {
        std::remove(NativePath(temp).c_str());
        return false;
    }
    return true;
}
