// CTerrain: loading, drawing and ray queries.
#include "game/terrain/terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/error.h"
#include "core/files.h"
#include "core/strings.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/visibility.h"
#include "render/world_render.h"

VertexLayout MakeTerrainVertexFormat() {
    return VertexLayout{{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_FLOAT1, VU_TEXCOORD}};
}

int TerrainLevelForDistance(float distance) {
    if (distance <= 270.0f)
        return 0;
    if (distance <= 550.0f)
        return 1;
    return 2;
}

CTerrain::CTerrain() {
    Matrix4Identity(matrix);
    landFull.Load("data\\shaders\\land_full", "data\\shaders\\land_full");
    landBad.Load("data\\shaders\\land_bad", "");
    landFullUsable = landFull.IsLoaded();
    grassProgram.Load("data\\shaders\\grass_full", "");
    if (LoadTexture(grassTexture, "data\\misc\\grass\\grass0.png", false, 1, true))
        SetTextureWrap(grassTexture, false, false, true);
    fadeCursor = fadeList.end();
}

CTerrain::~CTerrain() {
    Clear();
}

void CTerrain::Clear() {
    segments.clear();
    rayColumns.Clear();
    for (CCollisionInstance& instance : instances)
        instance.Reset();
    instances.clear();
    for (int level = 0; level < 3; level++) {
        levelMeshes[level].clear();
        levelRecords[level].clear();
    }
    recordsFitCache = true;
    rects.clear();
    for (std::vector<TerrainVertex>& vertices : levelVertices)
        vertices.clear();
    grid.clear();
    minX = maxX = minY = maxY = extentX = extentY = 0.0f;
    Matrix4Identity(matrix);
    blades.clear();
    listed.clear();
    fadeList.clear();
    fadeCursor = fadeList.end();
    scanCursor = 0;
}

std::string CTerrain::SegmentCachePath(const std::string& meshName) {
    std::string file = GetFileBaseName(meshName) + "_" + std::to_string(8) + "x" +
                       std::to_string(8) + ".tSegs";
    return IsPlainFileName(file) ? "gen\\terrain\\" + file : std::string();
}

bool CTerrain::Load(const std::string& name) {
    Clear();
    // A name that would put the cache outside its folder is built every time.
    std::string path = SegmentCachePath(name);
    if (path.empty() || !ReadSegmentCache(path)) {
        Clear();
        if (!Build(name, GetFileBaseName(name))) {
            Clear();
            return false;
        }
        // An unwritable cache only costs the next start a rebuild. An empty
        // terrain is not cached: its mesh may turn up later.
        if (!levelMeshes[0].empty() && !path.empty()) {
            if (SegmentTexturesFitCache()) {
                WriteSegmentCache(path);
            } else {
                ReportError("Error", "CTerrain::Load()-" + name + " is not cached (its texture "
                                     "would come back as another kind), terrain rebuilt at each load");
                std::remove(NativePath(path).c_str());
            }
        }
    }
    FinishLoad();
    return true;
}

void CTerrain::FinishLoad() {
    if (levelMeshes[0].empty())
        return;
    // Every level shares the level-0 texture; without the full program the
    // fixed pipeline needs an image to draw.
    CTexture texture;
    if (levelMeshes[0][0].GetChunkCount() > 0)
        texture = levelMeshes[0][0].GetRecord()->chunks[0].colourTexture;
    if (!landFull.IsLoaded() || texture.IsEmpty())
        LoadTexture(texture, "data\\models\\land\\prettygrass.jpg", false, 1, true);
    if (!texture.IsEmpty())
        SetTextureWrap(texture, true, true, true);
    for (std::vector<CMesh>& meshes : levelMeshes) {
        for (CMesh& mesh : meshes) {
            for (MeshChunk& chunk : mesh.GetRecord()->chunks)
                chunk.colourTexture = texture;
        }
    }
    size_t count = levelMeshes[0].size();
    instances.resize(count);
    for (size_t i = 0; i < count; i++) {
        instances[i].Reset();
        instances[i].Attach(levelMeshes[0][i], "");
        instances[i].SetTransform(matrix);
    }
    rayColumns.Build(instances);
    for (size_t i = 0; i < count; i++) {
        TerrainSegment s;
        for (int level = 0; level < 3; level++)
            s.level[level] = &levelMeshes[level][i];
        s.instance = &instances[i];
        s.rect = &rects[i];
        segments.push_back(s);
    }
    PlaceGrass();
}

void CTerrain::ClearToSky() { ClearFrame(SkyColour, true, true, false); }

void CTerrain::Draw() {
    if (segments.empty() || !visibility)
        return;
    if (landFull.IsLoaded() && landFullUsable)
        landFull.Bind();
    else
        landBad.Bind();
    SetWorldMatrix(matrix);
    SetStandardMatrices();
    Vector3 eye;
    if (CurrentCamera)
        eye = *CurrentCamera->GetPosition();
    for (TerrainSegment& s : segments) {
        const Sphere& sphere = s.instance->sphere;
        if (visibility->ClassifySphere(sphere) == 1)
            continue;
        Vector3 d;
        Vector3Subtract(d, sphere.centre, eye);
        s.level[TerrainLevelForDistance(Vector3Length(d))]->Draw();
    }
    UnbindShaderProgram();
}

void CTerrain::CollectCollisionInstances(std::vector<CCollisionInstance*>& out) {
    for (CCollisionInstance& instance : instances)
        out.push_back(&instance);
}

namespace {

struct RayHit {
    float distance;
    Vector3 point;
    Vector3 normal;
};

// A vertical ray can only hit a triangle whose ground rectangle holds its
// point; the rectangle is widened far past the rounding of the triangle test.
bool OutsideFromAbove(const Ray& ray, float slack, const Vector3& a, const Vector3& b,
                      const Vector3& c) {
    float x = ray.origin.x, y = ray.origin.y;
    return x < std::min(a.x, std::min(b.x, c.x)) - slack ||
           x > std::max(a.x, std::max(b.x, c.x)) + slack ||
           y < std::min(a.y, std::min(b.y, c.y)) - slack ||
           y > std::max(a.y, std::max(b.y, c.y)) + slack;
}

// Nearest triangle hit below node; leaves hold the triangles.
void RayTestNode(CCollisionInstance& instance, CCollisionNode* node, const Ray& ray,
                 bool skipBackFaces, RayHit& best, bool& found) {
    instance.UpdateNodeBox(node);
    if (!RayIntersectOrientedBox(ray, node->box))
        return;
    if (!node->children.empty()) {
        for (CCollisionNode* child : node->children)
            RayTestNode(instance, child, ray, skipBackFaces, best, found);
        return;
    }
    instance.UpdateNodeGeometry(node);
    const CollisionGeometry& g = instance.geometry;
    bool vertical = ray.direction.x == 0.0f && ray.direction.y == 0.0f;
    float slack = 0.001f + 0.00001f * (std::fabs(ray.origin.x) + std::fabs(ray.origin.y));
    for (int32_t offset : node->triangles) {
        if (offset < 0 || (size_t)offset + 2 >= g.indices.size() ||
            (size_t)offset / 3 >= g.normals.size())
            continue;
        int32_t a = g.indices[offset], b = g.indices[offset + 1], c = g.indices[offset + 2];
        int32_t n = (int32_t)g.vertices.size();
        if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n)
            continue;
        if (vertical && OutsideFromAbove(ray, slack, g.vertices[a], g.vertices[b], g.vertices[c]))
            continue;
        const Vector3& normal = g.normals[offset / 3];
        if (skipBackFaces && Vector3Dot(normal, ray.direction) > -GeometryTolerance)
            continue;
        float distance;
        Vector3 point;
        if (RayIntersectTriangle(g.vertices[a], g.vertices[b], g.vertices[c], &distance, &point,
                                 ray) &&
            (!found || distance < best.distance)) {
            best = RayHit{distance, point, normal};
            found = true;
        }
    }
}

// The ray can reach the sphere: not when the centre lies behind an origin
// outside it, not when the ray passes farther than the radius.
bool RayReachesSphere(const Ray& ray, const Sphere& sphere) {
    Vector3 toCentre;
    Vector3Subtract(toCentre, sphere.centre, ray.origin);
    float along = Vector3Dot(toCentre, ray.direction);
    float lengthSq = Vector3Dot(toCentre, toCentre);
    float radiusSq = sphere.radius * sphere.radius;
    if (along < 0.0f && lengthSq > radiusSq)
        return false;
    return lengthSq - along * along <= radiusSq;
}

}  // namespace

bool CTerrain::RayQuery(const Ray& ray, Vector3& outPoint, Vector3& outNormal, int flags) {
    // The nearest hit, the first instance's of equal ones. A vertical ray
    // tests only the instances standing over its point.
    RayHit nearest;
    bool found = false;
    auto test = [&](CCollisionInstance& instance) {
        if (!instance.attached || !instance.root || !RayReachesSphere(ray, instance.sphere))
            return;
        RayHit hit;
        bool reached = false;
        RayTestNode(instance, instance.root, ray, (flags & 1) != 0, hit, reached);
        if (reached && (!found || hit.distance < nearest.distance)) {
            nearest = hit;
            found = true;
        }
    };
    if (ray.direction.x == 0.0f && ray.direction.y == 0.0f && rayColumns.IsBuilt() &&
        rayColumnsEnabled) {
        for (uint16_t i : rayColumns.At(ray.origin.x, ray.origin.y))
            test(instances[i]);
    } else {
        for (CCollisionInstance& instance : instances)
            test(instance);
    }
    if (!found)
        return false;
    outPoint = nearest.point;
    outNormal = nearest.normal;
    return true;
}
