// The segment cache ".tSegs": bounds, matrix, the segment meshes of the three
// levels, the rectangles, the level vertex arrays and the attribute grid.
// Written whole into memory first and renamed into place; read with every
// field checked, and refused (the terrain rebuilt) unless the file is
// exactly what its counts say.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

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

// The bounds are the extents of the level-0 vertex array, as the build takes
// them, and every level-0 segment carries collision data within them (up to
// rounding). Bounds that nothing bears would make grass placement cast
// millions of rays into nothing.
bool LevelZeroBearsBounds(const std::vector<CMesh>& segments,
                          const std::vector<TerrainVertex>& vertices, const float bounds[4]) {
    if (vertices.empty())
        return false;
    float low[2], high[2], tolerance[2];
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
    if (n == 0 || n > 65535 || levelMeshes[1].size() != n || levelMeshes[2].size() != n ||
        rects.size() != n || grid.size() != GridBytes / 4)
        return false;
    for (const std::vector<TerrainVertex>& vertices : levelVertices) {
        if (vertices.size() > 65535)
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
    return DeserializeSegmentCache((const uint8_t*)file.data(), file.size());
}

bool CTerrain::DeserializeSegmentCache(const uint8_t* bytes, size_t size) {
    ByteReader in(bytes, size);
    float bounds[4];
    for (float& v : bounds)
        v = in.F32();
    Matrix4 readMatrix;
    for (float& v : readMatrix.m)
        v = in.F32();
    unsigned n = in.U16();
    if (!in.ok || n == 0)
        return false;
    for (float v : bounds) {
        if (!Finite(v))
            return false;
    }
    for (float v : readMatrix.m) {
        if (!Finite(v))
            return false;
    }
    if (bounds[0] > bounds[1] || bounds[2] > bounds[3])
        return false;
    // Write-only buffers: the records are kept as read, for writing again.
    std::vector<CMesh> meshes[3];
    std::vector<std::vector<uint8_t>> records[3];
    for (int level = 0; level < 3; level++) {
        meshes[level].resize(n);
        records[level].resize(n);
        for (unsigned i = 0; i < n; i++) {
            size_t used = meshes[level][i].Deserialize(in.bytes + in.pos, in.size - in.pos, false);
            if (used == 0)
                return false;
            records[level][i].assign(in.bytes + in.pos, in.bytes + in.pos + used);
            in.pos += used;
        }
    }
    // Names become collision cache file names.
    for (const std::vector<CMesh>& level : meshes) {
        for (const CMesh& mesh : level) {
            if (!IsPlainFileName(mesh.GetName()))
                return false;
        }
    }
    int columns, rows;
    GridSizeFor(bounds[1] - bounds[0], bounds[3] - bounds[2], columns, rows);
    if (n > (unsigned)(columns * rows))
        return false;
    // Rectangles, three vertex counts and the grid: the rest must be exactly this.
    size_t rest = in.size - in.pos;
    size_t fixed = 16 * (size_t)n + 6 + GridBytes;
    if (rest < fixed)
        return false;
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
            return false;
        level.resize(count);
        if (count > 0)
            memcpy(level.data(), data, (size_t)count * sizeof(TerrainVertex));
        total += count;
    }
    if (!in.ok || rest != fixed + 28 * total || !LevelZeroBearsBounds(meshes[0], vertices[0], bounds) ||
        !CoarseCellsHangWalls(meshes, records, vertices[0]))
        return false;
    std::vector<float> readGrid(GridBytes / 4);
    if (!in.Take(readGrid.data(), GridBytes))
        return false;

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
