// The battlefield's ground: one terrain mesh cut into a grid of segments at
// three levels of detail, each drawn at the level its distance calls for.
// Every level-0 segment carries a collision instance for the world's ray
// queries. The terrain also owns the attribute grid and the grass. All that
// is derived from the mesh is kept in "gen\\terrain\\<base>_8x8.tSegs".
//
// Vertex and index data stay on the CPU beside the buffers, so the
// reduction, cutting and cache never read device buffers back.
#ifndef GAME_TERRAIN_TERRAIN_H
#define GAME_TERRAIN_TERRAIN_H

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/matrix.h"
#include "game/collision/collision_model.h"
#include "game/terrain/instance_columns.h"
#include "render/mesh.h"
#include "render/resources.h"
#include "render/shader.h"

class CNode;
class CVisibilityLists;

// Position, normal and the ground attribute (in `extra`): 28 bytes.
typedef PncVertex TerrainVertex;

// (three floats, position), (three floats, normal), (one float, texcoord).
VertexLayout MakeTerrainVertexFormat();

struct TerrainRect {
    float minX, maxX, minY, maxY;
};

// One level-0 cell: its three meshes, collision instance and rectangle, all
// pointing into the terrain's own vectors.
struct TerrainSegment {
    CMesh* level[3];
    CCollisionInstance* instance;
    const TerrainRect* rect;
};

struct GrassBlade {
    float x, y, z;   // foot on the ground
    float angle;     // radians
    float height;
    float fade;      // 0 = not shown
};

// Squared ground-plane distances the grass fades by.
const float GrassNear = 10000.0f;     // 100 units: every blade
const float GrassFar = 40000.0f;      // 200 units: one blade in ten
const float GrassDrop = 90000.0f;     // 300 units: leaves the fade list at once
#ifdef VEXMOOR_FUZZING
// Fuzzing builds sample the attribute grid coarsely, so a terrain build (and
// the cache that holds the grid) stays cheap enough to run per input.
const int TerrainGridSize = 50;
#else
const int TerrainGridSize = 500;
#endif
// The widest ground, each way, that is cached and read back.
const float MaxTerrainExtent = 100000.0f;

// Level choice by distance from the camera to a segment's sphere centre.
int TerrainLevelForDistance(float distance);

class CTerrain {
public:
    CTerrain();
    ~CTerrain();

    void SetVisibilityLists(CVisibilityLists* lists) { visibility = lists; }

    // Replaces whatever was loaded. False only for a mesh whose vertices are
    // not position, normal, two texture coordinates (the terrain stays
    // empty); a mesh that cannot be loaded gives an empty terrain and true.
    bool Load(const std::string& name);
    void Draw();
    // Clears the frame's colour and depth to the sky behind the battle.
    static void ClearToSky();

    // Nearest hit among the segments' collision instances. Flags: bit 1
    // skips triangles facing away from the ray.
    bool RayQuery(const Ray& ray, Vector3& outPoint, Vector3& outNormal, int flags = 0);
    // Off: vertical rays test every instance too (for comparing the two).
    void SetRayColumnsEnabled(bool on) { rayColumnsEnabled = on; }
    // Appends every collision instance, in segment order.
    void CollectCollisionInstances(std::vector<CCollisionInstance*>& out);

    // Attribute grid and grass. Update is the terrain's frame step: only
    // the grass changes.
    float SampleGrid(float x, float y) const;
    void Update(float dt) { UpdateGrass(dt); }
    void UpdateGrass(float dt);
    void DrawGrass();

    // The segment cache. Writing refuses a terrain whose counts do not fit
    // and replaces the file only once it is written whole; reading takes
    // nothing over unless the whole file checks out; a file there but
    // refused is reported.
    // "gen\\terrain\\<base>_8x8.tSegs"; empty when the base name would not
    // make a plain file of that folder.
    static std::string SegmentCachePath(const std::string& meshName);
    bool WriteSegmentCache(const std::string& path) const;
    bool ReadSegmentCache(const std::string& path);
    bool SerializeSegmentCache(std::vector<uint8_t>& out) const;
    // The cache keeps the source texture's name only and the reader loads it
    // as a plain image: a terrain built over another kind is not cached.
    bool SegmentTexturesFitCache() const { return recordsFitCache; }
    // A refused file's fault, in a few words, goes to fault when given.
    bool DeserializeSegmentCache(const uint8_t* bytes, size_t size, std::string* fault = nullptr);

    // Read access for the world, tests and tools.
    const std::vector<TerrainSegment>& GetSegments() const { return segments; }
    const std::vector<CMesh>& GetLevelMeshes(int level) const { return levelMeshes[level]; }
    const std::vector<TerrainVertex>& GetLevelVertices(int level) const { return levelVertices[level]; }
    const std::vector<TerrainRect>& GetRects() const { return rects; }
    const std::vector<GrassBlade>& GetBlades() const { return blades; }
    const std::list<GrassBlade*>& GetFadeList() const { return fadeList; }
    const float* GetGrid() const { return grid.empty() ? nullptr : grid.data(); }
    const Matrix4& GetMatrix() const { return matrix; }
    float GetMinX() const { return minX; }
    float GetMaxX() const { return maxX; }
    float GetMinY() const { return minY; }
    float GetMaxY() const { return maxY; }

    // Build steps, public for the tests and tools.
    // Levels, grid and segments from a loaded terrain model (readable
    // buffers): its first child's mesh; FinishLoad is left to the caller.
    // False for a mesh of another vertex layout.
    bool BuildFromModel(CNode* root, const std::string& name, const std::string& baseName);
    // Levels, grid and segments from a welded level-0 mesh; then as Load
    // ends: collision instances, segments and grass.
    void BuildFromVertices(const std::vector<TerrainVertex>& vertices,
                           const std::vector<uint16_t>& indices, const CTexture& colourTexture,
                           const std::string& baseName);
    void FinishLoad();
    // Columns and rows of the grid for the current bounds, or for extents.
    void GridSize(int& columns, int& rows) const;
    static void GridSizeFor(float extentX, float extentY, int& columns, int& rows);
    void ComputeBounds(const std::vector<TerrainVertex>& vertices);
    // Cuts a level into the grid's cells: one mesh per cell, row by row,
    // without a chunk where the cell holds nothing, its cache record (made
    // from the CPU data: the buffers are write-only) and each cell's
    // rectangle after the border widening. With skirts, corners near a
    // cell's edge are pushed out and down, and walls hang from its rim where
    // it stands above the ground beside it: that of the level's own cells
    // and of the finer levels' cells given (each cut by this, in grid order).
    void BuildSegments(const std::vector<TerrainVertex>& vertices,
                       const std::vector<uint16_t>& indices, const CTexture& colourTexture,
                       const std::string& baseName, bool skirt, std::vector<CMesh>& outCells,
                       std::vector<std::vector<uint8_t>>& outRecords,
                       std::vector<TerrainRect>& outRects,
                       const std::vector<const std::vector<CMesh>*>& finerCells = {}) const;
    // Groups for the reduction of a level's vertices (CollapseStep): a vertex
    // where two cell borders cross never moves, one on a single border moves
    // only along it between two crossings (with bordersMove; else never), and
    // every other vertex merges only within its cell. The levels' borders so
    // stay where all levels and both cells beside them have them.
    std::vector<int> ReductionGroups(const std::vector<TerrainVertex>& vertices,
                                     bool bordersMove) const;
    void FillGrid(const std::vector<TerrainVertex>& vertices, const std::vector<uint16_t>& indices);
    // No coarse cell's wall reaches below this: the coarser levels lie within
    // the level-0 heights, skirts lower them by one, and a wall reaches only
    // a margin below the ground beside it.
    static float WallFloor(const std::vector<TerrainVertex>& levelZero);
    // Why a cache's coarse cells (those that are not the finer level's mesh)
    // do not hang walls as a build does, or null: a rim standing above the
    // finer or equal ground beside it (written before the walls), or a wall
    // below the floor (written when every rim hung one below all the ground).
    // The rectangles are the segments'.
    static const char* CoarseWallFault(const std::vector<CMesh> meshes[3],
                                       const std::vector<std::vector<uint8_t>> records[3],
                                       const std::vector<TerrainRect>& rects,
                                       const std::vector<TerrainVertex>& levelZero);
    void PlaceGrass();

private:
    CTerrain(const CTerrain&) = delete;
    CTerrain& operator=(const CTerrain&) = delete;

    void Clear();
    bool Build(const std::string& name, const std::string& baseName);
    void BuildLevels(const std::vector<uint16_t>& levelZeroIndices, const CTexture& colourTexture,
                     const std::string& baseName);
    bool GrassWanted(const GrassBlade& blade, float camX, float camY, bool scan) const;

    CVisibilityLists* visibility = nullptr;
    std::vector<TerrainSegment> segments;
    Matrix4 matrix;
    std::vector<CMesh> levelMeshes[3];
    std::vector<std::vector<uint8_t>> levelRecords[3];   // each mesh's cache record
    bool recordsFitCache = true;   // their texture comes back from the cache as it is
    float minX = 0, maxX = 0, minY = 0, maxY = 0, extentX = 0, extentY = 0;
    std::vector<TerrainVertex> levelVertices[3];
    std::vector<float> grid;   // TerrainGridSize^2, row (y) major; empty until filled
    std::vector<CCollisionInstance> instances;
    CInstanceColumns rayColumns;
    bool rayColumnsEnabled = true;
    std::vector<TerrainRect> rects;

    CShaderProgram landFull;
    CShaderProgram landBad;
    bool landFullUsable = false;

    // Grass.
    float lastCameraX = 0, lastCameraY = 0;
    CShaderProgram grassProgram;
    CTexture grassTexture;
    std::vector<GrassBlade> blades;
    std::vector<uint8_t> listed;   // per blade: in the fade list
    std::list<GrassBlade*> fadeList;
    std::list<GrassBlade*>::iterator fadeCursor;
    size_t scanCursor = 0;
};

#endif
