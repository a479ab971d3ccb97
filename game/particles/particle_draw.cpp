// Drawing the particle system: explosion spheres, then everything else
// additively through the shared buffers, in batches that never outgrow them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/matrix.h"
#include "game/particles/particle_system.h"
#include "render/backend.h"
#include "render/node.h"

namespace {

const float FlashLayers[4] = {0.15f, 0.3f, 0.5f, 1.0f};
const float FlashSpread = 0.75f;
const float BurstTail = 0.02f;
// A batch ends once more than this many vertices are written.
const int BatchVertexLimit = 100;

uint8_t ColourByte(float v) {
    return (uint8_t)std::lround(std::min(std::max(v, 0.0f), 1.0f) * 255.0f);
}

// Packed as the game packs colours, then in the device's byte order (the
// Direct3D colour element holds blue in its low byte).
void SetColour(ParticleVertex& v, float r, float g, float b, float a) {
    const uint32_t packed = ToDeviceColour(uint32_t(ColourByte(r)) | uint32_t(ColourByte(g)) << 8 |
                                           uint32_t(ColourByte(b)) << 16 | uint32_t(ColourByte(a)) << 24);
    memcpy(v.colour, &packed, sizeof packed);
}

void Corner(ParticleVertex& v, const Vector3& p, float u, float t) {
    v.x = p.x;
    v.y = p.y;
    v.z = p.z;
    v.u = u;
    v.v = t;
}

// The four corners of P +-U s +-R s, with texture (0,0) (1,0) (1,1) (0,1).
void QuadCorners(ParticleVertex out[4], const Vector3& p, const Vector3& r, const Vector3& u,
                 float s) {
    Vector3 a;
    Vector3MultiplyAdd(a, p, u, s);
    Vector3 c0, c1;
    Corner(out[0], Vector3MultiplyAdd(c0, a, r, -s), 0, 0);
    Corner(out[1], Vector3MultiplyAdd(c1, a, r, s), 1, 0);
    Vector3MultiplyAdd(a, p, u, -s);
    Corner(out[2], Vector3MultiplyAdd(c0, a, r, s), 1, 1);
    Corner(out[3], Vector3MultiplyAdd(c1, a, r, -s), 0, 1);
}

void QuadIndices(uint16_t out[6], uint16_t c) {
    const uint16_t pattern[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; i++)
        out[i] = (uint16_t)(c + pattern[i]);
}

// The billboard basis turned by angle about the view (-(R x U)).
void TurnedBasis(float angle, Vector3& r, Vector3& u) {
    const BillboardBasis& b = ParticleBasis();
    r = b.right;
    u = b.up;
    if (angle == 0.0f)
        return;
    Vector3 axis;
    Vector3Cross(axis, r, u);
    Vector3Scale(axis, axis, -1.0f);
    Matrix3 turn;
    Matrix3RotationAxis(turn, axis, angle);
    Matrix3TransformVector3(r, turn, r);
    Matrix3TransformVector3(u, turn, u);
}

void DrawState(const CTexture& texture) {
    Matrix4 identity;
    SetWorldMatrix(Matrix4Identity(identity));
    BindTexture(texture, 0);
    SetCullMode(CULL_NONE);
}

} // namespace

void BuildParticleQuad(const Vector3& p, ParticleVertex v[4], uint16_t idx[6], float a, float s,
                       uint16_t c, float angle) {
    Vector3 r, u;
    TurnedBasis(angle, r, u);
    QuadCorners(v, p, r, u, s);
    for (int i = 0; i < 4; i++)
        SetColour(v[i], 1.0f, 0.5f, 0.15f + 0.35f * a, a);
    QuadIndices(idx, c);
}

// One batch: fill writes quads through the locked buffers and says how many
// (0 when the buffers could not be locked); they are drawn as triangles.
template <typename Fill>
static int DrawQuadBatch(CVertexBuffer& vb, CIndexBuffer& ib, const CTexture& texture,
                         std::vector<int>& log, Fill fill) {
    int quads = 0;
    {
        CVertexBufferLock vl(vb);
        CIndexBufferLock il(ib);
        auto* vertices = static_cast<ParticleVertex*>(vl.data);
        auto* indices = static_cast<uint16_t*>(il.data);
        if (!vertices || !indices)
            return 0;
        quads = fill(vertices, indices);
    }
    UnbindShaderProgram();
    DrawState(texture);
    BindVertexBuffer(vb);
    BindIndexBuffer(ib);
    DrawIndexedTriangles(quads * 2);
    log.push_back(quads);
    return quads;
}

// Up to MaxQuadsPerBatch quads per batch, each written by write(particle,
// vertices, indices, first vertex).
template <typename Write>
static void DrawQuadBatches(CVertexBuffer& vb, CIndexBuffer& ib, const std::vector<Particle>& list,
                            const CTexture& texture, std::vector<int>& log, Write write) {
    size_t next = 0;
    while (next < list.size()) {
        int drawn = DrawQuadBatch(vb, ib, texture, log, [&](ParticleVertex* v, uint16_t* i) {
            int quads = 0;
            while (next < list.size() && quads < MaxQuadsPerBatch &&
                   quads * 4 <= BatchVertexLimit) {
                write(list[next], v + quads * 4, i + quads * 6, (uint16_t)(quads * 4));
                quads++;
                next++;
            }
            return quads;
        });
        if (drawn == 0)
            return;
    }
}

void CParticleSystem::FillQuads(const std::vector<Particle>& list, float size) {
    DrawQuadBatches(quadVertices, quadIndices, list, flameTexture, batchLog,
                    [size](const Particle& p, ParticleVertex* v, uint16_t* i, uint16_t c) {
                        float a = p.time * 0.6666667f;
                        float s = std::max(1.0f - a, 0.05f) * size;
                        BuildParticleQuad(p.position, v, i, a, s, c, p.angle);
                    });
}

void CParticleSystem::FillStreaks(const std::vector<Particle>& list, const CTexture& texture) {
    DrawQuadBatches(quadVertices, quadIndices, list, texture, batchLog,
                    [](const Particle& p, ParticleVertex* v, uint16_t* i, uint16_t c) {
                        float k = p.time * 0.2f;
                        float w = std::max((5.0f - p.time) * 0.2f, 0.1f);
                        Vector3 along = p.velocity, side;
                        Vector3NormalizeInPlace(along);
                        Vector3Cross(side, along, ParticleBasis().view);
                        Vector3NormalizeInPlace(side);
                        // 4w long, centred on the particle, w to either side.
                        Vector3 ends[2], corners[4];
                        Vector3MultiplyAdd(ends[0], p.position, along, 2.0f * w);
                        Vector3MultiplyAdd(ends[1], p.position, along, -2.0f * w);
                        Vector3MultiplyAdd(corners[0], ends[0], side, -w);
                        Vector3MultiplyAdd(corners[1], ends[0], side, w);
                        Vector3MultiplyAdd(corners[2], ends[1], side, w);
                        Vector3MultiplyAdd(corners[3], ends[1], side, -w);
                        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
                        for (int n = 0; n < 4; n++) {
                            Corner(v[n], corners[n], uv[n][0], uv[n][1]);
                            SetColour(v[n], 1.0f - k, 0.5f * (1.0f - k), 0.5f + 0.5f * k, k);
                        }
                        QuadIndices(i, c);
                    });
}

void CParticleSystem::DrawSpheres() {
    for (ExplosionSphere& s : spheres) {
        CNode* root = s.model.GetRoot();
        if (!root)
            continue;
        root->SetPosition(s.position);
        sphereProgram.Bind();
        float colour[4] = {1.0f, 0.0f, 0.0f, s.time * 0.5f};
        sphereProgram.SetVector4("color", colour);
        sphereProgram.SetFloat("scale", &s.scale);
        s.model.Draw();
    }
    UnbindShaderProgram();
}

void CParticleSystem::DrawFlashes() {
    DrawQuadBatch(flashVertices, flashIndices, flashTexture, batchLog,
                  [this](ParticleVertex* vertices, uint16_t* indices) {
        int quads = 0;
        for (const FlashRecord& f : flashes) {
            Vector3 r, u;
            TurnedBasis(f.angle, r, u);
            for (float layer : FlashLayers) {
                if ((quads + 1) * 4 > FlashVertexCount)
                    return quads;
                QuadCorners(vertices + quads * 4, f.position, r, u, FlashSpread * layer * f.size);
                for (int n = 0; n < 4; n++)
                    SetColour(vertices[quads * 4 + n], 1.0f, 1.0f, 1.0f, 1.0f - layer * 0.5f);
                QuadIndices(indices + quads * 6, (uint16_t)(quads * 4));
                quads++;
            }
        }
        return quads;
    });
}

// Every particle of every burst as one line, MaxLinesPerBatch lines per lock.
void CParticleSystem::DrawBursts() {
    const uint32_t colour = ToDeviceColour(BurstLineColour);
    auto burst = bursts.begin();
    size_t next = 0;
    while (burst != bursts.end()) {
        int lines = 0;
        {
            CVertexBufferLock vl(lineVertices);
            auto* v = static_cast<ParticleLineVertex*>(vl.data);
            if (!v)
                return;
            while (burst != bursts.end() && lines < MaxLinesPerBatch) {
                if (next >= burst->size()) {
                    ++burst;
                    next = 0;
                    continue;
                }
                const Particle& p = (*burst)[next++];
                Vector3 tail;
                Vector3MultiplyAdd(tail, p.position, p.velocity, -BurstTail);
                v[lines * 2] = ParticleLineVertex{p.position.x, p.position.y, p.position.z, colour};
                v[lines * 2 + 1] = ParticleLineVertex{tail.x, tail.y, tail.z, colour};
                lines++;
            }
        }
        if (lines == 0)
            break;
        UnbindShaderProgram();
        Matrix4 identity;
        SetWorldMatrix(Matrix4Identity(identity));
        DisableTexturing();
        BindVertexBuffer(lineVertices);
        DrawLines(lines);
        batchLog.push_back(lines);
    }
}

void CParticleSystem::Draw() {
    batchLog.clear();
    bool depthWrite = GetRenderSwitch(RS_DEPTH_WRITE);
    bool blend = GetRenderSwitch(RS_BLEND);
    // The spheres fade with their alpha, so they blend too.
    SetRenderSwitch(RS_BLEND, true);
    SetBlendFunc(BLEND_SRC_ALPHA, BLEND_ONE);
    DrawSpheres();
    SetRenderSwitch(RS_DEPTH_WRITE, false);
    if (!flashes.empty())
        DrawFlashes();
    DrawBursts();
    for (CFlameEmitter* e : attached)
        FillQuads(e->GetParticles(), 1.0f);
    for (CParticleEmitter* e : freeEmitters)
        e->Draw(*this);
    if (!objectEffects.empty()) {
        effectParticles.clear();
        for (const ObjectEffect& e : objectEffects) {
            Particle p;
            p.time = e.time;
            p.position = e.position;
            p.angle = e.angle;
            effectParticles.push_back(p);
        }
        FillQuads(effectParticles, 3.0f);
    }
    SetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);
    SetRenderSwitch(RS_BLEND, blend);
    SetRenderSwitch(RS_DEPTH_WRITE, depthWrite);
}
