// Building a terrain from its mesh: conversion, bounds, the reduced levels,
// the attribute grid and the cutting into cells.
#include "game/terrain/terrain.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/error.h"
#include "render/mesh_cache.h"
#include "game/terrain/terrain_reduce.h"
#include "game/terrain/terrain_walls.h"
#include "render/model.h"
#include "render/node.h"

namespace {

// Position, normal, two texture coordinates: the only layout a terrain
// mesh may have.
VertexLayout SourceLayout() {
    return VertexLayout{{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_FLOAT2, VU_TEXCOORD}};
}

// Weights of p (a point of the triangle's plane) for its corners; equal
// weights for a triangle with no area.
void Barycentric(const Vector3 corner[3], const Vector3& p, float w[3]) {
    Vector3 e0, e1, e2;
    Vector3Subtract(e0, corner[1], corner[0]);
    Vector3Subtract(e1, corner[2], corner[0]);
    Vector3Subtract(e2, p, corner[0]);
    float d00 = Vector3Dot(e0, e0), d01 = Vector3Dot(e0, e1), d11 = Vector3Dot(e1, e1);
    float d20 = Vector3Dot(e2, e0), d21 = Vector3Dot(e2, e1);
    float denominator = d00 * d11 - d01 * d01;
    if (!(std::fabs(denominator) > 0.0f)) {
        w[0] = w[1] = w[2] = 1.0f / 3.0f;
        return;
    }
    w[1] = (d11 * d20 - d01 * d21) / denominator;
    w[2] = (d00 * d21 - d01 * d20) / denominator;
    w[0] = 1.0f - w[1] - w[2];
}

TerrainVertex Interpolate(const TerrainVertex* source[3], const Vector3& clipped,
                          const Vector3& position) {
    Vector3 corners[3] = {source[0]->position, source[1]->position, source[2]->position};
    float w[3];
    Barycentric(corners, clipped, w);
    TerrainVertex v;
    v.position = position;
    Vector3 n;
    n.x = w[0] * source[0]->normal.x + w[1] * source[1]->normal.x + w[2] * source[2]->normal.x;
    n.y = w[0] * source[0]->normal.y + w[1] * source[1]->normal.y + w[2] * source[2]->normal.y;
    n.z = w[0] * source[0]->normal.z + w[1] * source[1]->normal.z + w[2] * source[2]->normal.z;
    float length = Vector3Length(n);
    if (length > 0.0f)
        Vector3Scale(v.normal, n, 1.0f / length);
    else
        v.normal = source[0]->normal;
    v.extra = w[0] * source[0]->extra + w[1] * source[1]->extra + w[2] * source[2]->extra;
    return v;
}

// The mesh record as CMesh::Serialize writes it, from the CPU data.
bool WriteSegmentRecord(std::vector<uint8_t>& out, const MeshRecord& mesh,
                        const std::string& texture, const std::vector<TerrainVertex>& vertices,
                        const std::vector<uint16_t>& indices) {
    if (!WriteString(out, mesh.name))
        return false;
    WriteU8(out, 1);
    if (!WriteString(out, texture) || !WriteString(out, std::string()))
        return false;
    VertexLayout layout = MakeTerrainVertexFormat();
    WriteU8(out, (unsigned)layout.size() * 8);
    for (const VertexElement& e : layout) {
        WriteI32(out, e.type);
        WriteI32(out, e.usage);
    }
    WriteU16(out, (unsigned)vertices.size());
    WriteU8(out, sizeof(TerrainVertex));
    for (const TerrainVertex& v : vertices) {
        for (float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y,
                        v.normal.z, v.extra})
            WriteF32(out, f);
    }
    WriteU16(out, (unsigned)indices.size());
    for (uint16_t i : indices)
        WriteU16(out, i);
    WriteU16(out, (unsigned)mesh.collisionPositions.size());
    for (const Vector3& p : mesh.collisionPositions) {
        WriteF32(out, p.x);
        WriteF32(out, p.y);
        WriteF32(out, p.z);
    }
    WriteU16(out, (unsigned)mesh.collisionIndices.size());
    for (uint16_t i : mesh.collisionIndices)
        WriteU16(out, i);
    return true;
}

// A mesh of one chunk over the vertices and indices (write-only buffers),
// its collision geometry welded from the same data, and its cache record.
bool MakeSegmentMesh(CMesh& mesh, std::vector<uint8_t>& record, const std::string& name,
                     const CTexture& texture, const std::vector<TerrainVertex>& vertices,
                     const std::vector<uint16_t>& indices) {
    MeshChunk chunk;
    chunk.colourTexture = texture;
    if (!CreateVertexBuffer(chunk.vertexBuffer, sizeof(TerrainVertex), (int)vertices.size(),
                            MakeTerrainVertexFormat(), false, true) ||
        !CreateIndexBuffer(chunk.indexBuffer, (int)indices.size(), false, true))
        return false;
    {
        CVertexBufferLock lock(chunk.vertexBuffer);
        if (!lock.data)
            return false;
        memcpy(lock.data, vertices.data(), vertices.size() * sizeof(TerrainVertex));
    }
    {
        CIndexBufferLock lock(chunk.indexBuffer);
        void* data = nullptr;
        if (!lock.GetData(data))
            return false;
        memcpy(data, indices.data(), indices.size() * sizeof(uint16_t));
    }
    MeshRecord* m = mesh.GetRecord();
    m->name = name;
    m->chunks.assign(1, chunk);
    std::vector<uint32_t> wide(indices.begin(), indices.end());
    std::vector<uint32_t> weldedIndices;
    WeldPositions((int)wide.size(), vertices.data(), (int)vertices.size(), sizeof(TerrainVertex),
                  wide.data(), m->collisionPositions, weldedIndices);
    m->collisionIndices.assign(weldedIndices.begin(), weldedIndices.end());
    const TextureRecord* t = texture.GetRecord();
    record.clear();
    return m->collisionPositions.size() <= 65535 &&
           WriteSegmentRecord(record, *m, t ? t->fileName : std::string(), vertices, indices);
}

// Moves a coordinate within 0.5 of either side of [lo, hi] 1.5 outward.
bool PushOutward(float& v, float lo, float hi) {
    if (v < lo + 0.5f) {
        v -= 1.5f;
        return true;
    }
    if (v > hi - 0.5f) {
        v += 1.5f;
        return true;
    }
    return false;
}

// A skirt corner: outside the cell's inner rectangle it moves 1.5 outward
// and 1.0 down.
Vector3 Skirted(const TerrainRect& rect, Vector3 p) {
    bool outsideX = PushOutward(p.x, rect.minX, rect.maxX);
    bool outsideY = PushOutward(p.y, rect.minY, rect.maxY);
    if (outsideX || outsideY)
        p.z -= 1.0f;
    return p;
}

}  // namespace

void CTerrain::ComputeBounds(const std::vector<TerrainVertex>& vertices) {
    minX = maxX = minY = maxY = 0.0f;
    for (size_t i = 0; i < vertices.size(); i++) {
        const Vector3& p = vertices[i].position;
        if (i == 0 || p.x < minX)
            minX = p.x;
        if (i == 0 || p.x > maxX)
            maxX = p.x;
        if (i == 0 || p.y < minY)
            minY = p.y;
        if (i == 0 || p.y > maxY)
            maxY = p.y;
    }
    extentX = maxX - minX;
    extentY = maxY - minY;
}

void CTerrain::GridSize(int& columns, int& rows) const {
    GridSizeFor(extentX, extentY, columns, rows);
}

void CTerrain::GridSizeFor(float extentX, float extentY, int& columns, int& rows) {
    float columnFactor = 1.01f, rowFactor = 1.01f;
    if (extentX < extentY)
        columnFactor = extentX / extentY + 0.05f;
    else if (extentX > 0.0f)
        rowFactor = extentY / extentX + 0.05f;
    // Extents that are not numbers (or both infinite) keep the square grid;
    // the factors stay where the conversions below are defined.
    for (float* factor : {&columnFactor, &rowFactor})
        *factor = std::isnan(*factor) ? 1.01f : std::min(std::max(*factor, 0.0f), 1.05f);
    columns = (int)(columnFactor * 8.0f);
    rows = (int)(rowFactor * 8.0f);
    // A very long, thin terrain would otherwise get no column at all.
    if (columns < 1)
        columns = 1;
    if (rows < 1)
        rows = 1;
}

std::vector<int> CTerrain::ReductionGroups(const std::vector<TerrainVertex>& vertices,
                                           bool bordersMove) const {
    int columns, rows;
    GridSize(columns, rows);
    float w = extentX / (float)columns, h = extentY / (float)rows;
    float tolerance = 1e-4f * std::max(w, h);
    // The border through v (0 .. count, the bounds included) and the span it
    // lies in; -1 for none.
    auto border = [&](float v, float origin, float size, int count, int& span) {
        float f = size > 0.0f ? (v - origin) / size : 0.0f;
        int nearest = std::isfinite(f) ? (int)std::lround(std::min(std::max(f, 0.0f), (float)count)) : 0;
        span = std::isfinite(f) ? (int)std::min(std::max(std::floor(f), 0.0f), (float)(count - 1)) : 0;
        return std::fabs(v - (origin + (float)nearest * size)) <= tolerance ? nearest : -1;
    };
    int cells = columns * rows;
    std::vector<int> groups(vertices.size());
    for (size_t i = 0; i < vertices.size(); i++) {
        int c, r;
        int x = border(vertices[i].position.x, minX, w, columns, c);
        int y = border(vertices[i].position.y, minY, h, rows, r);
        if (x < 0 && y < 0)
            groups[i] = r * columns + c;
        else if (x >= 0 && y >= 0)
            groups[i] = -1;
        else if (!bordersMove)
            groups[i] = -1;
        else if (x >= 0)   // on an upright border, between two rows' crossings
            groups[i] = cells + x * rows + r;
        else
            groups[i] = cells + (columns + 1) * rows + y * columns + c;
    }
    return groups;
}

void CTerrain::BuildSegments(const std::vector<TerrainVertex>& vertices,
                             const std::vector<uint16_t>& indices, const CTexture& colourTexture,
                             const std::string& baseName, bool skirt,
                             std::vector<CMesh>& outCells,
                             std::vector<std::vector<uint8_t>>& outRecords,
                             std::vector<TerrainRect>& outRects,
                             const std::vector<const std::vector<CMesh>*>& finerCells) const {
    outCells.clear();
    outRecords.clear();
    outRects.clear();
    int columns, rows;
    GridSize(columns, rows);
    float w = extentX / (float)columns, h = extentY / (float)rows;
    // Each cell's welded ground; the walls are hung once every cell has its skirt.
    std::vector<std::vector<TerrainVertex>> cellVertices;
    std::vector<CellGround> cellGround;
    std::vector<Triangle> pieces;
    std::vector<TerrainVertex> collected;
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            TerrainRect rect;
            rect.minX = (float)c * w + minX;
            rect.maxX = rect.minX + w;
            rect.minY = (float)r * h + minY;
            rect.maxY = rect.minY + h;
            // Border cells reach past the bounds so edge triangles are kept.
            if (c == 0)
                rect.minX -= 1.0f;
            if (r == 0)
                rect.minY -= 1.0f;
            if (c == columns - 1)
                rect.maxX += 1.0f;
            if (r == rows - 1)
                rect.maxY += 1.0f;
            AxisAlignedBox box;
            box.minimum = Vector3{rect.minX, rect.minY, -1000.0f};
            box.maximum = Vector3{rect.maxX, rect.maxY, 1000.0f};
            collected.clear();
            for (size_t t = 0; t + 2 < indices.size(); t += 3) {
                const TerrainVertex* source[3];
                Triangle tri;
                bool valid = true;
                for (int k = 0; k < 3; k++) {
                    if (indices[t + k] >= vertices.size()) {
                        valid = false;
                        break;
                    }
                    source[k] = &vertices[indices[t + k]];
                    tri.corner[k] = source[k]->position;
                }
                if (!valid)
                    continue;
                TriangleComputeNormal(tri);
                pieces.clear();
                if (!TriangleIntersectAxisAlignedBox(&pieces, box, tri))
                    continue;
                // A triangle wholly inside is pushed like the pieces: a corner
                // it shares with a clipped neighbour must move with it.
                if (pieces.empty()) {
                    for (int k = 0; k < 3; k++) {
                        collected.push_back(*source[k]);
                        if (skirt)
                            collected.back().position = Skirted(rect, source[k]->position);
                    }
                    continue;
                }
                for (const Triangle& piece : pieces) {
                    for (int k = 0; k < 3; k++) {
                        Vector3 p = skirt ? Skirted(rect, piece.corner[k]) : piece.corner[k];
                        // Weights from the clipped corner, which lies in the triangle.
                        collected.push_back(Interpolate(source, piece.corner[k], p));
                    }
                }
            }
            outRects.push_back(rect);
            cellVertices.emplace_back();
            cellGround.emplace_back();
            if (collected.empty())
                continue;
            if (collected.size() > 65535) {
                ReportError("Error", "CTerrain::BuildSegments()-too many vertices in a cell");
                continue;
            }
            std::vector<uint16_t> sequence(collected.size());
            for (size_t i = 0; i < sequence.size(); i++)
                sequence[i] = (uint16_t)i;
            WeldVertices((int)collected.size(), collected.data(), (int)sequence.size(),
                         sequence.data(), cellVertices.back(), cellGround.back().indices);
            for (const TerrainVertex& v : cellVertices.back())
                cellGround.back().positions.push_back(v.position);
        }
    }

    WallGround ground;
    ground.rects = &outRects;
    ground.outline = TerrainRect{minX, maxX, minY, maxY};
    float floor = WallFloor(levelVertices[0].empty() ? vertices : levelVertices[0]);
    std::vector<std::vector<CellGround>> finerGround(finerCells.size());
    for (size_t level = 0; level < finerCells.size(); level++) {
        for (const CMesh& mesh : *finerCells[level]) {
            const MeshRecord* m = mesh.GetRecord();
            finerGround[level].push_back(m ? CellGround{m->collisionPositions, m->collisionIndices}
                                           : CellGround());
        }
        ground.levels.push_back(&finerGround[level]);
    }
    ground.levels.push_back(&cellGround);
    for (size_t k = 0; k < cellVertices.size(); k++) {
        outCells.emplace_back();
        outRecords.emplace_back();
        std::vector<TerrainVertex>& welded = cellVertices[k];
        if (welded.empty())
            continue;
        std::vector<uint16_t> weldedIndices = cellGround[k].indices;
        if (skirt)
            HangWalls(welded, weldedIndices, k, ground, floor);
        if (welded.size() > 65535) {
            ReportError("Error", "CTerrain::BuildSegments()-too many vertices in a cell");
            continue;
        }
        std::string name = baseName + " - segment " + std::to_string(k) + ", for " +
                           std::to_string(columns) + "x" + std::to_string(rows);
        if (!MakeSegmentMesh(outCells.back(), outRecords.back(), name, colourTexture, welded,
                             weldedIndices))
            outCells.back() = CMesh();
    }
}

bool CTerrain::Build(const std::string& name, const std::string& baseName) {
    CModel model;
    if (!LoadModel(model, name, true, false))
        return true;
    return BuildFromModel(model.GetRoot(), name, baseName);
}

bool CTerrain::BuildFromModel(CNode* root, const std::string& name, const std::string& baseName) {
    Clear();
    if (!root || root->children.empty())
        return true;
    CNode* node = root->children.front();
    MeshRecord* source = node->mesh.GetRecord();
    if (!source || source->chunks.empty())
        return true;
    MeshChunk chunk = source->chunks[0];
    const VertexBufferRecord* vb = chunk.vertexBuffer.GetRecord();
    if (!vb || vb->vertexSize != 32 || !VertexLayoutsEqual(vb->layout, SourceLayout())) {
        ReportError("Error", "CTerrain::Load()-" + name + " is not a terrain mesh");
        return false;
    }
    // A private copy: the model cache's master stays as it was loaded.
    std::vector<TerrainVertex> converted(vb->vertexCount);
    std::vector<uint16_t> sourceIndices(chunk.indexBuffer.GetIndexCount());
    {
        CVertexBufferLock lock(chunk.vertexBuffer);
        if (!lock.data)
            return true;
        const uint8_t* bytes = (const uint8_t*)lock.data;
        for (size_t i = 0; i < converted.size(); i++)
            memcpy(&converted[i], bytes + i * 32, sizeof(TerrainVertex));
    }
    {
        CIndexBufferLock lock(chunk.indexBuffer);
        void* data = nullptr;
        if (!lock.GetData(data))
            return true;
        memcpy(sourceIndices.data(), data, sourceIndices.size() * sizeof(uint16_t));
    }
    std::vector<uint16_t> levelZeroIndices;
    if (!WeldVertices((int)converted.size(), converted.data(), (int)sourceIndices.size(),
                      sourceIndices.data(), levelVertices[0], levelZeroIndices)) {
        ReportError("Error", "CTerrain::Load()-" + name + " has an index past its vertices");
        levelVertices[0].clear();
        return true;
    }
    Matrix4FromMatrix3(matrix, node->rotation);
    BuildLevels(levelZeroIndices, chunk.colourTexture, baseName);
    return true;
}

void CTerrain::BuildFromVertices(const std::vector<TerrainVertex>& vertices,
                                 const std::vector<uint16_t>& indices,
                                 const CTexture& colourTexture, const std::string& baseName) {
    Clear();
    Matrix4Identity(matrix);
    levelVertices[0] = vertices;
    BuildLevels(indices, colourTexture, baseName);
    FinishLoad();
}

void CTerrain::BuildLevels(const std::vector<uint16_t>& levelZeroIndices,
                           const CTexture& colourTexture, const std::string& baseName) {
    std::vector<uint16_t> levelIndices[3];
    levelIndices[0] = levelZeroIndices;
    recordsFitCache = MeshCacheKeepsTexture(colourTexture, MeshCacheColourKind);
    ComputeBounds(levelVertices[0]);
    for (int level = 1; level < 3; level++) {
        std::vector<int> groups = ReductionGroups(levelVertices[level - 1], level > 1);
        ReduceMesh(levelVertices[level - 1], levelIndices[level - 1], levelVertices[level],
                   levelIndices[level], &groups);
    }
    FillGrid(levelVertices[0], levelIndices[0]);

    // All three levels are cut cell by cell, so they stay aligned: a cell
    // is kept when level 0 has something there; a coarser level that left
    // it empty shows the next finer level's mesh.
    std::vector<CMesh> cells[3];
    std::vector<std::vector<uint8_t>> records[3];
    std::vector<TerrainRect> cellRects[3];
    std::vector<const std::vector<CMesh>*> finer;
    for (int level = 0; level < 3; level++) {
        BuildSegments(levelVertices[level], levelIndices[level], colourTexture, baseName,
                      level > 0, cells[level], records[level], cellRects[level], finer);
        finer.push_back(&cells[level]);
    }
    for (size_t k = 0; k < cells[0].size(); k++) {
        if (cells[0][k].GetChunkCount() == 0)
            continue;
        for (int level = 0; level < 3; level++) {
            int from = level;
            while (cells[from][k].GetChunkCount() == 0)
                from--;
            levelMeshes[level].push_back(cells[from][k]);
            levelRecords[level].push_back(records[from][k]);
        }
        rects.push_back(cellRects[0][k]);
    }
}
