// The attribute grid and the grass: blades are scattered where the ground
// attribute lies between 0.25 and 0.5; every frame a bounded number of them
// is faded in near the camera and out far from it.
#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "game/terrain/terrain.h"
#include "render/backend.h"
#include "render/camera.h"

namespace {

// Triangles sorted into square buckets over the bounds by their ground
// rectangle (a little widened), so each vertical ray tests only the
// triangles that can reach it, still in list order.
class TriangleBuckets {
public:
    TriangleBuckets(const std::vector<TerrainVertex>& vertices,
                    const std::vector<uint16_t>& indices, float minX, float minY, float extentX,
                    float extentY)
        : minX(minX), minY(minY), lists(Count * Count) {
        width = extentX > 0.0f ? extentX / Count : 1.0f;
        height = extentY > 0.0f ? extentY / Count : 1.0f;
        float margin = 0.0001f * std::max(1.0f, std::max(extentX, extentY));
        for (size_t t = 0; t + 2 < indices.size(); t += 3) {
            float x0 = 0, x1 = 0, y0 = 0, y1 = 0;
            bool valid = true;
            for (int k = 0; k < 3; k++) {
                if (indices[t + k] >= vertices.size()) {
                    valid = false;
                    break;
                }
                const Vector3& p = vertices[indices[t + k]].position;
                x0 = k == 0 ? p.x : std::min(x0, p.x);
                x1 = k == 0 ? p.x : std::max(x1, p.x);
                y0 = k == 0 ? p.y : std::min(y0, p.y);
                y1 = k == 0 ? p.y : std::max(y1, p.y);
            }
            if (!valid)
                continue;   // skipped by the ray test too
            int c0 = Column(x0 - margin), c1 = Column(x1 + margin);
            int r0 = Row(y0 - margin), r1 = Row(y1 + margin);
            for (int r = r0; r <= r1; r++) {
                for (int c = c0; c <= c1; c++)
                    lists[r * Count + c].insert(lists[r * Count + c].end(), indices.begin() + t,
                                                indices.begin() + t + 3);
            }
        }
    }

    const std::vector<uint16_t>& At(float x, float y) const {
        return lists[Row(y) * Count + Column(x)];
    }

private:
    static const int Count = 64;

    // Monotone in x, so a point inside a rectangle falls in one of its buckets.
    int Column(float x) const { return Clamp((x - minX) / width); }
    int Row(float y) const { return Clamp((y - minY) / height); }
    static int Clamp(float f) {
        if (!(f > 0.0f))
            return 0;
        if (f >= (float)(Count - 1))
            return Count - 1;
        return (int)f;
    }

    float minX, minY, width, height;
    std::vector<std::vector<uint16_t>> lists;
};

}  // namespace

void CTerrain::FillGrid(const std::vector<TerrainVertex>& vertices,
                        const std::vector<uint16_t>& indices) {
    grid.assign((size_t)TerrainGridSize * TerrainGridSize, 0.0f);
    TriangleBuckets buckets(vertices, indices, minX, minY, extentX, extentY);
    Ray ray;
    ray.direction = Vector3{0.0f, 0.0f, -1.0f};
    const float step = 1.0f / (float)TerrainGridSize;
    for (int j = 0; j < TerrainGridSize; j++) {
        for (int i = 0; i < TerrainGridSize; i++) {
            ray.origin = Vector3{(float)i * extentX * step + minX,
                                 (float)j * extentY * step + minY, 1000.0f};
            const std::vector<uint16_t>& list = buckets.At(ray.origin.x, ray.origin.y);
            TerrainVertex hit;
            if (!list.empty() &&
                RayIntersectIndexedTriangles(&hit, vertices.data(), (int)vertices.size(),
                                             list.data(), (int)list.size(), ray))
                grid[(size_t)j * TerrainGridSize + i] = hit.extra;
        }
    }
}

// The cell of a ground point, truncated toward zero; false outside.
static bool GridCell(float x, float y, float minX, float minY, float extentX, float extentY,
                     int& i, int& j) {
    float fi = (x - minX) / extentX * (float)TerrainGridSize;
    float fj = (y - minY) / extentY * (float)TerrainGridSize;
    if (!(fi > -1.0f && fi < (float)TerrainGridSize && fj > -1.0f &&
          fj < (float)TerrainGridSize))
        return false;
    i = (int)fi;
    j = (int)fj;
    return true;
}

float CTerrain::SampleGrid(float x, float y) const {
    int i, j;
    if (grid.empty() || !GridCell(x, y, minX, minY, extentX, extentY, i, j))
        return 0.0f;
    return grid[(size_t)j * TerrainGridSize + i];
}

void CTerrain::PlaceGrass() {
    blades.clear();
    listed.clear();
    fadeList.clear();
    fadeCursor = fadeList.end();
    scanCursor = 0;
    if (levelMeshes[0].empty() || grid.empty())
        return;
    float wanted = extentX * extentY * 0.0225f;
    if (!(wanted >= 1.0f))
        return;
    int count = (int)std::min(wanted, 4000000.0f);
    blades.reserve((size_t)count);
    for (int n = 0; n < count; n++) {
        Ray ray;
        ray.origin.x = (float)GameRand() / (float)GameRandMax * extentX + minX;
        ray.origin.y = (float)GameRand() / (float)GameRandMax * extentY + minY;
        ray.origin.z = 1000.0f;
        ray.direction = Vector3{0.0f, 0.0f, -1.0f};
        Vector3 point, normal;
        if (!RayQuery(ray, point, normal, 1))
            continue;
        int i, j;
        if (!GridCell(point.x, point.y, minX, minY, extentX, extentY, i, j))
            continue;
        float value = grid[(size_t)j * TerrainGridSize + i];
        if (value >= 0.25f && value <= 0.5f) {
            GrassBlade blade;
            blade.x = point.x;
            blade.y = point.y;
            blade.z = point.z;
            blade.angle = (float)GameRand() / (float)GameRandMax * 6.2831855f;
            blade.height = (float)GameRand() / (float)GameRandMax * 0.7f + 1.3f;
            blade.fade = 0.0f;
            blades.push_back(blade);
        }
    }
    listed.assign(blades.size(), 0);
}

// The fade pass keeps blades at exactly 100 units; the scan asks the
// one-in-ten test there.
bool CTerrain::GrassWanted(const GrassBlade& blade, float camX, float camY, bool scan) const {
    float dx = blade.x - camX, dy = blade.y - camY;
    float s = dx * dx + dy * dy;
    if (!(s < GrassFar))
        return false;
    if (scan ? s < GrassNear : s <= GrassNear)
        return true;
    return std::fmod(std::fabs(blade.x + blade.y + blade.z), 0.1f) < 0.01f;
}

void CTerrain::UpdateGrass(float dt) {
    if (levelMeshes[0].empty())
        return;
    if (!(dt >= 0.0f))
        dt = 0.0f;
    float camX = 0.0f, camY = 0.0f;
    if (CurrentCamera) {
        const Vector3* p = CurrentCamera->GetPosition();
        camX = p->x;
        camY = p->y;
    }

    // Fade pass: each listed blade is visited once every count / n frames
    // and so fades at 1.0 a second. Nothing to do for an empty list.
    size_t count = fadeList.size();
    if (count > 0) {
        size_t n = (size_t)std::min(std::max(dt * 7500.0f, 10.0f), (float)count);
        float step = dt * (float)count / (float)n;
        if (fadeCursor == fadeList.end())
            fadeCursor = fadeList.begin();
        for (size_t visit = 0; visit < n && !fadeList.empty(); visit++) {
            GrassBlade* blade = *fadeCursor;
            float dx = blade->x - camX, dy = blade->y - camY;
            if (GrassWanted(*blade, camX, camY, false)) {
                blade->fade = std::min(blade->fade + step, 1.0f);
                ++fadeCursor;
            } else {
                blade->fade -= step;
                if (dx * dx + dy * dy > GrassDrop || blade->fade <= 0.0f) {
                    blade->fade = 0.0f;
                    listed[(size_t)(blade - blades.data())] = 0;
                    fadeCursor = fadeList.erase(fadeCursor);
                } else {
                    ++fadeCursor;
                }
            }
            if (fadeCursor == fadeList.end())
                fadeCursor = fadeList.begin();
        }
    }

    // Scan pass: a bounded slice of all blades, looking for wanted ones.
    size_t m = (size_t)std::min(std::max(dt * 25000.0f, 10.0f), (float)blades.size() + 10.0f);
    if (scanCursor >= blades.size())
        scanCursor = 0;
    for (size_t visit = 0; visit < m && scanCursor < blades.size(); visit++, scanCursor++) {
        GrassBlade& blade = blades[scanCursor];
        if (!listed[scanCursor] && GrassWanted(blade, camX, camY, true)) {
            blade.fade = 0.0f;
            listed[scanCursor] = 1;
            fadeList.push_back(&blade);
            if (fadeCursor == fadeList.end())
                fadeCursor = std::prev(fadeList.end());
        }
    }
    lastCameraX = camX;
    lastCameraY = camY;
}

void CTerrain::DrawGrass() {
    if (levelMeshes[0].empty())
        return;
    DisableTexturing();
    BindTexture(grassTexture, 0);
    if (ShadersAvailable() && grassProgram.IsLoaded())
        grassProgram.Bind();
    else
        UnbindShaderProgram();
    // Blades are in world coordinates.
    Matrix4 identity;
    SetWorldMatrix(Matrix4Identity(identity));
    SetStandardMatrices();
    CullMode cull = GetCullMode();
    bool blend = GetRenderSwitch(RS_BLEND);
    SetCullMode(CULL_NONE);
    SetRenderSwitch(RS_BLEND, true);
    SetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);
    static const float Corner[6][2] = {{1, 1}, {0, 1}, {1, 0}, {1, 0}, {0, 1}, {0, 0}};
    for (float angExtra : {0.0f, 1.5707964f}) {
        grassProgram.SetFloat("angExtra", &angExtra);
        BeginPrimitive(PRIM_TRIANGLES);
        for (const GrassBlade* blade : fadeList) {
            for (const float* st : Corner) {
                SetVertexColour(1.0f, 1.0f, 1.0f, blade->fade);
                SetVertexTexCoord(st[0], st[1], blade->angle);
                // t = 1 is the foot, t = 0 the top.
                AddVertex(blade->x, blade->y, st[1] > 0.5f ? blade->z : blade->z + blade->height);
            }
        }
        EndPrimitive();
        SetVertexColour(1.0f, 1.0f, 1.0f, 1.0f);
    }
    SetRenderSwitch(RS_BLEND, blend);
    SetCullMode(cull);
    UnbindShaderProgram();
}
