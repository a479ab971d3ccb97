// The segment cache ".tSegs": bounds, matrix, the segment meshes of the three
// levels, the rectangles, the level vertex arrays and the attribute grid.
// Written whole into memory first and renamed into place; read with every
// field checked, and refused (the terrain rebuilt) unless the file is
// exactly what its counts say.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/error.h"
#include "core/files.h"
#include "core/strings.h"
#include "game/terrain/terrain.h"
#include "render/mesh_cache.h"

namespace {

const size_t GridBytes = (size_t)TerrainGridSize * TerrainGridSize * 4;

bool WriteBytesReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = path + ".tmp";
    FILE* f = OpenFile(temp, "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    if (ok) {
        // Windows will not rename onto an existing file.
        std::remove(NativePath(path).c_str());
        ok = std::rename(NativePath(temp).c_str(), NativePath(path).c_str()) == 0;
    }
    if (!ok)
        std::remove(NativePath(temp).c_str());
    return ok;
}

bool Finite(float v) {
    return std::isfinite(v);
}

// Bounds in order whose extents the builder can cut and grass can cover:
// wider ground would overflow the extents' arithmetic or lose the
// positions' precision.
bool PlausibleBounds(const float bounds[4]) {
    for (int k = 0; k < 2; k++) {
        float extent = bounds[2 * k + 1] - bounds[2 * k];
        if (!(extent >= 0.0f && extent <= MaxTerrainExtent))
            return false;
    }
    return true;
}

bool FiniteVertices(const std::vector<TerrainVertex>& vertices) {
    for (const TerrainVertex& v : vertices) {
        for (float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y,
                        v.normal.z, v.extra}) {
            if (!Finite(f))
                return false;
        }
    }
    return true;
}

// The bounds are the extents of the level-0 vertex array, as the build takes
// them, and every level-0 segment carries collision data within them (up to
// rounding). Bounds that nothing bears would make grass placement cast
// millions of rays into nothing.
bool LevelZeroBearsBounds(const std::vector<CMesh>& segments,
                          const std::vector<TerrainVertex>& vertices, const float bounds[4]) {
    if (vertices.empty())
        return false;
    float low[2] = {}, high[2] = {}, tolerance[2];
    for (size_t i = 0; i < vertices.size(); i++) {
        const float xy[2] = {vertices[i].position.x, vertices[i].position.y};
        for (int k = 0; k < 2; k++) {
            low[k] = i == 0 ? xy[k] : std::min(low[k], xy[k]);
            high[k] = i == 0 ? xy[k] : std::max(high[k], xy[k]);
        }
    }
    for (int k = 0; k < 2; k++) {
        tolerance[k] = 0.001f * std::max(1.0f, bounds[2 * k + 1] - bounds[2 * k]);
        if (!(std::fabs(bounds[2 * k] - low[k]) <= tolerance[k] &&
              std::fabs(bounds[2 * k + 1] - high[k]) <= tolerance[k]))
            return false;
    }
    for (const CMesh& mesh : segments) {
        const MeshRecord* record = mesh.GetRecord();
        if (!record || record->collisionPositions.empty() || record->collisionIndices.size() < 3)
            return false;
        for (const Vector3& p : record->collisionPositions) {
            if (!Finite(p.z) || !(p.x >= bounds[0] - tolerance[0] && p.x <= bounds[1] + tolerance[0] &&
                                  p.y >= bounds[2] - tolerance[1] && p.y <= bounds[3] + tolerance[1]))
                return false;
        }
    }
    return true;
}

}  // namespace

bool CTerrain::WriteSegmentCache(const std::string& path) const {
    std::vector<uint8_t> out;
    if (!SerializeSegmentCache(out))
        return false;
    CreateDirectoryPath(path);
    return WriteBytesReplacing(path, out);
}

bool CTerrain::SerializeSegmentCache(std::vector<uint8_t>& out) const {
    out.clear();
    size_t n = levelMeshes[0].size();
    const float bounds[4] = {minX, maxX, minY, maxY};
    if (n == 0 || n > 65535 || levelMeshes[1].size() != n || levelMeshes[2].size() != n ||
        rects.size() != n || grid.size() != GridBytes / 4 || !PlausibleBounds(bounds) ||
        !SegmentTexturesFitCache())
        return false;
    // Only what the reader would take back is cached.
    for (const std::vector<TerrainVertex>& vertices : levelVertices) {
        if (vertices.size() > 65535 || !FiniteVertices(vertices))
            return false;
    }
    out.reserve(GridBytes + 65536);
    for (float v : {minX, maxX, minY, maxY})
        WriteF32(out, v);
    for (float v : matrix.m)
        WriteF32(out, v);
    WriteU16(out, (unsigned)n);
    for (const std::vector<std::vector<uint8_t>>& records : levelRecords) {
        if (records.size() != n)
            return false;
        for (const std::vector<uint8_t>& record : records)
            out.insert(out.end(), record.begin(), record.end());
    }
    for (const TerrainRect& r : rects) {
        for (float v : {r.minX, r.maxX, r.minY, r.maxY})
            WriteF32(out, v);
    }
    for (const std::vector<TerrainVertex>& vertices : levelVertices) {
        WriteU16(out, (unsigned)vertices.size());
        size_t at = out.size();
        out.resize(at + vertices.size() * sizeof(TerrainVertex));
        if (!vertices.empty())
            memcpy(out.data() + at, vertices.data(), vertices.size() * sizeof(TerrainVertex));
    }
    size_t at = out.size();
    out.resize(at + GridBytes);
    memcpy(out.data() + at, grid.data(), GridBytes);
    return true;
}

bool CTerrain::ReadSegmentCache(const std::string& path) {
    std::string file = ReadWholeFile(true, path);
    if (file.empty())
        return false;   // not made yet
    std::string fault;
    if (DeserializeSegmentCache((const uint8_t*)file.data(), file.size(), &fault))
        return true;
    ReportError("Error", "CTerrain::Load()-" + path + " refused (" + fault + "), terrain rebuilt");
    return false;
}

bool CTerrain::DeserializeSegmentCache(const uint8_t* bytes, size_t size, std::string* fault) {
    auto refuse = [fault](const char* what) {
        if (fault)
            *fault = what;
        return false;
    };
    ByteReader in(bytes, size);
    float bounds[4];
    for (float& v : bounds)
        v = in.F32();
    Matrix4 readMatrix;
    for (float& v : readMatrix.m)
        v = in.F32();
    unsigned n = in.U16();
    if (!in.ok || n == 0)
        return refuse("cut short or without segments");
    for (float v : bounds) {
        if (!Finite(v))
            return refuse("a bound is not a finite number");
    }
    for (float v : readMatrix.m) {
        if (!Finite(v))
            return refuse("its matrix is not finite");
    }
    if (!PlausibleBounds(bounds))
        return refuse("its bounds are not those of a terrain");
    int columns, rows;
    GridSizeFor(bounds[1] - bounds[0], bounds[3] - bounds[2], columns, rows);
    if (n > (unsigned)(columns * rows))
        return refuse("more segments than cells");
    // Write-only buffers: the records are kept as read, for writing again.
    std::vector<CMesh> meshes[3];
    std::vector<std::vector<uint8_t>> records[3];
    for (int level = 0; level < 3; level++) {
        meshes[level].resize(n);
        records[level].resize(n);
        for (unsigned i = 0; i < n; i++) {
            size_t used = meshes[level][i].Deserialize(in.bytes + in.pos, in.size - in.pos, false);
            if (used == 0)
                return refuse("a segment is damaged");
            records[level][i].assign(in.bytes + in.pos, in.bytes + in.pos + used);
            in.pos += used;
        }
    }
    // Names become collision cache file names.
    for (const std::vector<CMesh>& level : meshes) {
        for (const CMesh& mesh : level) {
            if (!IsPlainFileName(mesh.GetName()))
                return refuse("a segment name is no plain file name");
        }
    }
    // Rectangles, three vertex counts and the grid: the rest must be exactly this.
    size_t rest = in.size - in.pos;
    size_t fixed = 16 * (size_t)n + 6 + GridBytes;
    if (rest < fixed)
        return refuse("cut short");
    std::vector<TerrainRect> readRects(n);
    for (TerrainRect& r : readRects) {
        r.minX = in.F32();
        r.maxX = in.F32();
        r.minY = in.F32();
        r.maxY = in.F32();
    }
    std::vector<TerrainVertex> vertices[3];
    size_t total = 0;
    for (std::vector<TerrainVertex>& level : vertices) {
        unsigned count = in.U16();
        const uint8_t* data = in.Span((size_t)count * sizeof(TerrainVertex));
        if (!data)
            return refuse("cut short");
        level.resize(count);
        if (count > 0)
            memcpy(level.data(), data, (size_t)count * sizeof(TerrainVertex));
        if (!FiniteVertices(level))
            return refuse("a vertex is not a finite number");
        total += count;
    }
    if (!in.ok || rest != fixed + 28 * total)
        return refuse("its size does not match its counts");
    if (!LevelZeroBearsBounds(meshes[0], vertices[0], bounds))
        return refuse("its ground does not fill its bounds");
    if (const char* wallFault = CoarseWallFault(meshes, records, readRects, vertices[0]))
        return refuse(wallFault);
    std::vector<float> readGrid(GridBytes / 4);
    if (!in.Take(readGrid.data(), GridBytes))
        return refuse("cut short");

    // Everything checked: take it over.
    Clear();
    minX = bounds[0];
    maxX = bounds[1];
    minY = bounds[2];
    maxY = bounds[3];
    extentX = maxX - minX;
    extentY = maxY - minY;
    matrix = readMatrix;
    for (int level = 0; level < 3; level++) {
        levelMeshes[level].swap(meshes[level]);
        levelRecords[level].swap(records[level]);
        levelVertices[level].swap(vertices[level]);
    }
    rects.swap(readRects);
    grid.swap(readGrid);
    return true;
}
