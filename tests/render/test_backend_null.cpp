// The headless back-end: buffers and locks over CPU memory, textures from
// image files, shader programs and the 2D helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/null/null_backend.h"
#include "render/resources.h"
#include "render/shader.h"
#include "test_mesh_util.h"

namespace {

class NullBackend : public MeshFilesTest {
protected:
    NullBackend() : MeshFilesTest("backend_test") {}

    // A 32-bit top-down BMP of the given words (0xAARRGGBB); its header names
    // an alpha mask unless alphaMask is 0.
    std::string WriteBmp(const std::string& name, int w, int h, const std::vector<uint32_t>& px,
                         uint32_t alphaMask = 0xFF000000u) {
        std::vector<uint8_t> b(122, 0);
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; i++)
                b[at + i] = uint8_t(v >> (8 * i));
        };
        b[0] = 'B';
        b[1] = 'M';
        b[26] = 1;
        b[28] = 32;
        // File size, pixel offset, V4 header with masks, size, bit fields,
        // then the red, green, blue and alpha masks.
        const uint32_t fields[][2] = {{2, uint32_t(122 + px.size() * 4)}, {10, 122}, {14, 108}, {18, uint32_t(w)},
                                      {22, uint32_t(-h)}, {30, 3}, {54, 0x00FF0000u}, {58, 0x0000FF00u},
                                      {62, 0x000000FFu}, {66, alphaMask}};
        for (const auto& f : fields)
            put32(f[0], f[1]);
        for (uint32_t p : px)
            for (int i = 0; i < 4; i++)
                b.push_back(uint8_t(p >> (8 * i)));
        WriteBytes(Path(name), b);
        return Path(name);
    }
};

TEST_F(NullBackend, VertexBufferLockGivesRealMemoryThatPersists) {
    CVertexBuffer vb;
    ASSERT_TRUE(CreateVertexBuffer(vb, 12, 4, {{VET_FLOAT3, VU_POSITION}}, false, true));
    {
        CVertexBufferLock lock(vb);
        ASSERT_NE(lock.data, nullptr);
        memset(lock.data, 0xAB, 48);
        CVertexBufferLock second(vb);   // already mapped
        EXPECT_EQ(second.data, nullptr);
    }   // unlocked by the destructor
    CVertexBufferLock again(vb);
    ASSERT_NE(again.data, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(again.data)[47], 0xAB);
    again.Unlock();
    again.Unlock();   // idempotent
    EXPECT_EQ(again.data, nullptr);

    CVertexBuffer empty;
    CVertexBufferLock none(empty);
    EXPECT_EQ(none.data, nullptr);
}

TEST_F(NullBackend, BufferSizesAreCheckedNotTruncated) {
    CVertexBuffer vb;
    ASSERT_TRUE(CreateVertexBuffer(vb, 12, 4, VertexLayout(), false, true));
    int reports = ErrorReportCount();
    EXPECT_FALSE(CreateVertexBuffer(vb, 1 << 16, 1 << 16, VertexLayout(), false, true));
    EXPECT_TRUE(vb.IsEmpty());   // a failed create leaves the handle empty
    EXPECT_FALSE(CreateVertexBuffer(vb, -12, 4, VertexLayout(), false, true));
    EXPECT_GT(ErrorReportCount(), reports);

    CIndexBuffer ib;
    EXPECT_TRUE(CreateIndexBuffer(ib, 65535, false, true));
    EXPECT_FALSE(CreateIndexBuffer(ib, 65536, false, true));
    EXPECT_TRUE(ib.IsEmpty());
    EXPECT_FALSE(CreateIndexBuffer(ib, -3, false, true));
}

TEST_F(NullBackend, IndexLockAndDrawChecks) {
    CVertexBuffer vb;
    CIndexBuffer ib;
    ASSERT_TRUE(CreateVertexBuffer(vb, 12, 3, VertexLayout(), false, true));
    ASSERT_TRUE(CreateIndexBuffer(ib, 6, false, false));
    {
        CIndexBufferLock lock(ib);
        void* data = nullptr;
        ASSERT_TRUE(lock.GetData(data));
        EXPECT_TRUE(ib.GetRecord()->locked);
        uint16_t* idx = static_cast<uint16_t*>(data);
        const uint16_t tri[6] = {0, 1, 2, 2, 1, 3};   // the second triangle reaches past the buffer
        memcpy(idx, tri, sizeof(tri));
        BindVertexBuffer(vb);
        BindIndexBuffer(ib);
        DrawIndexedTriangles(1);   // still mapped
        EXPECT_EQ(NullRenderCounters().drawErrors, 1);
    }
    BindVertexBuffer(vb);
    BindIndexBuffer(ib);
    DrawIndexedTriangles(1);
    EXPECT_EQ(NullRenderCounters().drawErrors, 1);
    EXPECT_EQ(NullRenderCounters().indexedTriangles, 1);
    DrawIndexedTriangles(2);
    EXPECT_EQ(NullRenderCounters().drawErrors, 2);
    DrawTriangles(0, 1);
    DrawTriangles(1, 1);
    EXPECT_EQ(NullRenderCounters().drawErrors, 3);
}

TEST_F(NullBackend, RebindIsSkippedUntilLockOrRelease) {
    CVertexBuffer a, b;
    ASSERT_TRUE(CreateVertexBuffer(a, 12, 3, VertexLayout(), false, true));
    BindVertexBuffer(a);
    BindVertexBuffer(a);
    EXPECT_EQ(NullRenderCounters().vertexBufferBinds, 1);
    { CVertexBufferLock lock(a); }
    BindVertexBuffer(a);
    EXPECT_EQ(NullRenderCounters().vertexBufferBinds, 2);
    EXPECT_EQ(GetCurrentVertexBuffer(), a.GetRecord());

    // A new record may reuse the freed one's address: it must still be bound.
    a.DropRecord();
    EXPECT_EQ(GetCurrentVertexBuffer(), nullptr);
    ASSERT_TRUE(CreateVertexBuffer(b, 12, 3, VertexLayout(), false, true));
    BindVertexBuffer(b);
    EXPECT_EQ(NullRenderCounters().vertexBufferBinds, 3);

    CVertexBuffer empty;
    BindVertexBuffer(empty);   // leaves the previous binding
    EXPECT_EQ(GetCurrentVertexBuffer(), b.GetRecord());

    // Dropped and unbound while another handle keeps the record: the next
    // bind of that record does the work again.
    CVertexBuffer shared = b;
    CVertexBuffer::DropAndUnbind(b);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(GetCurrentVertexBuffer(), nullptr);
    BindVertexBuffer(shared);
    EXPECT_EQ(NullRenderCounters().vertexBufferBinds, 4);
}

// Each array form gives the vertex its per-value form gives, the forms
// with fewer values filling the rest as OpenGL does.
TEST_F(NullBackend, ImmediateArrayFormsMatchTheValueForms) {
    const float c[4] = {1.0f, 0.5f, 0.0f, 0.25f}, t[4] = {0.1f, 0.2f, 0.3f, 0.4f}, p[4] = {1, 2, 3, 2};
    const float n[3] = {0, 0, 1};
    BeginPrimitive(PRIM_POINTS);
    SetVertexColour4(c);
    SetVertexNormal(n);
    SetVertexTexCoord4(t);
    AddVertex4(p);
    SetVertexColour(c[0], c[1], c[2], c[3]);
    SetVertexNormal(0, 0, 1);
    SetVertexTexCoord(t[0], t[1], t[2], t[3]);
    AddVertex(p[0], p[1], p[2], p[3]);

    SetVertexColour3(c);
    SetVertexTexCoord3(t);
    AddVertex3(p);
    SetVertexColour(c[0], c[1], c[2]);
    SetVertexTexCoord(t[0], t[1], t[2]);
    AddVertex(p[0], p[1], p[2]);

    SetVertexTexCoord2(t);
    AddVertex2(p);
    SetVertexTexCoord(t[0], t[1]);
    AddVertex(p[0], p[1]);

    SetVertexTexCoord1(t);
    AddVertex2(p);
    SetVertexTexCoord(t[0]);
    AddVertex(p[0], p[1]);

    const uint8_t bytes[4] = {0x11, 0x22, 0x33, 0x44};
    SetVertexColourBytes(bytes);
    AddVertex2(p);
    SetVertexColour(0x44332211u);
    AddVertex2(p);
    EndPrimitive();
    const std::vector<NullVertex>& v = NullLastPrimitive().vertices;
    ASSERT_EQ(v.size(), 10u);
    for (size_t i = 0; i < v.size(); i += 2)
        EXPECT_EQ(memcmp(&v[i], &v[i + 1], sizeof(NullVertex)), 0) << "pair " << i / 2;
    EXPECT_EQ(v[0].colour, 0x3F007FFFu);
    EXPECT_EQ(v[2].colour, 0xFF007FFFu);
    EXPECT_EQ(v[0].position[3], 2.0f);
    EXPECT_EQ(v[6].texCoord[1], 0.0f);
}

TEST_F(NullBackend, ImagesDecodeTopRowFirst) {
    std::vector<uint32_t> px = {0xFF112233u, 0x80445566u, 0x00778899u,
                                0xFFAABBCCu, 0xFFDDEEFFu, 0xFF000000u};
    CImage image;
    ASSERT_TRUE(image.LoadFromFile(WriteBmp("three.bmp", 3, 2, px)));
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(memcmp(image.GetPixels(), px.data(), 24), 0);
    CImage copy;
    copy.CopyFrom(image);
    EXPECT_NE(copy.GetPixels(), image.GetPixels());
    EXPECT_EQ(memcmp(copy.GetPixels(), px.data(), 24), 0);
    // Without an alpha mask the fourth byte is padding: every pixel opaque.
    ASSERT_TRUE(image.LoadFromFile(WriteBmp("opaque.bmp", 3, 2, px, 0)));
    EXPECT_EQ(image.GetPixels()[1], 0xFF445566u);
    EXPECT_EQ(image.GetPixels()[2], 0xFF778899u);
    EXPECT_FALSE(image.LoadFromFile(Path("missing.png")));
    EXPECT_EQ(image.GetPixels(), nullptr);
}

TEST_F(NullBackend, TextureLoadSharingColourKeyAndFailures) {
    std::vector<uint32_t> px(4 * 2, 0xFF000000u);
    px[1] = 0xFF000001u;
    std::string file = WriteBmp("key.bmp", 4, 2, px);
    CTexture a, b, c;
    ASSERT_TRUE(LoadTexture(a, file, true, 1, false));
    {
        CTextureLock lock(a, false);
        void* data;
        int pitch, slice, bits, w, h, d;
        ASSERT_TRUE(lock.GetData(data, pitch, slice, bits, w, h, d));
        EXPECT_EQ(pitch, 16);
        EXPECT_EQ(slice, 32);
        EXPECT_EQ(static_cast<uint32_t*>(data)[0], 0u);
        EXPECT_EQ(static_cast<uint32_t*>(data)[1], 0xFF000001u);
    }
    TextureRecord* record = a.GetRecord();
    EXPECT_TRUE(LoadTexture(a, file, true, 1, false));   // same handle, same file: nothing
    EXPECT_EQ(record->refCount, 1);
    std::string upper = file;
    for (char& ch : upper)
        ch = char(toupper((unsigned char)ch));
    // Shared through the registry before any file is opened.
    EXPECT_TRUE(LoadTexture(b, upper, true, 1, false));
    EXPECT_EQ(b.GetRecord(), record);
    EXPECT_EQ(record->refCount, 2);
    EXPECT_TRUE(LoadTexture(c, file, false, 1, false));
    EXPECT_EQ(c.GetRecord(), record);   // the first load decides for later ones
    CTexture d;
    EXPECT_FALSE(LoadTexture(d, file, false, 0, false));   // kind 0
    EXPECT_TRUE(d.IsEmpty());
    // The same file as a bump map is a texture of its own, shared by bump maps.
    CTexture bump, bump2;
    ASSERT_TRUE(LoadTexture(bump, file, false, 5, false));
    EXPECT_NE(bump.GetRecord(), record);
    EXPECT_EQ(bump.GetRecord()->kind, 5);
    EXPECT_TRUE(LoadTexture(bump2, upper, false, 5, false));
    EXPECT_EQ(bump2.GetRecord(), bump.GetRecord());
    EXPECT_TRUE(LoadTexture(bump2, file, false, 1, false));   // held as a bump map: loads the colour map
    EXPECT_EQ(bump2.GetRecord(), record);

    int reports = ErrorReportCount();
    EXPECT_FALSE(LoadTexture(c, Path("missing.png"), false, 1, false));
    EXPECT_FALSE(LoadTexture(c, Write("junk.png", "not an image"), false, 1, false));
    EXPECT_FALSE(LoadTexture(c, WriteBmp("odd.bmp", 100, 100, std::vector<uint32_t>(10000)), false, 1, false));
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(ErrorReportCount(), reports + 3);

    ASSERT_TRUE(LoadTexture(c, WriteBmp("wide.bmp", 256, 128, std::vector<uint32_t>(256 * 128)), false, 1, false));
    EXPECT_EQ(c.GetWidth(), 256);
    EXPECT_EQ(c.GetHeight(), 128);
}

TEST_F(NullBackend, ClampedAndVolumeTextures) {
    CTexture t;
    std::string slice = WriteBmp("s.bmp", 2, 2, {1, 2, 3, 4});
    ASSERT_TRUE(LoadTextureClamped(t, slice));
    EXPECT_FALSE(NullTextureRepeats(t, 0));
    EXPECT_FALSE(NullTextureRepeats(t, 1));
    EXPECT_TRUE(NullTextureRepeats(t, 2));

    WriteBmp("big.bmp", 4, 4, std::vector<uint32_t>(16));
    CTexture v;
    ASSERT_TRUE(LoadTexture(v, Write("four.t3d", "s.bmp\ns.bmp\ns.bmp\ns.bmp\n"), false, 1, false));
    EXPECT_EQ(v.GetDepth(), 4);
    {
        CTextureLock lock(v, false);
        void* data;
        int pitch, size, bits, w, h, d;
        ASSERT_TRUE(lock.GetData(data, pitch, size, bits, w, h, d));
        EXPECT_EQ(static_cast<uint32_t*>(data)[3 * 4 + 3], 4u);   // last texel of the last slice
    }
    CTexture one;
    ASSERT_TRUE(LoadTexture(one, Write("one.t3d", "s.bmp\n\nignored.bmp\n"), false, 1, false));
    EXPECT_EQ(one.GetDepth(), 1);
    // Slices lie beside their list, also when it is named with '/'.
    ASSERT_TRUE(LoadTexture(one, folder + "/four.t3d", false, 1, false));
    EXPECT_EQ(one.GetDepth(), 4);
    EXPECT_FALSE(LoadTexture(v, Write("three.t3d", "s.bmp\ns.bmp\ns.bmp\n"), false, 1, false));
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_FALSE(LoadTexture(v, Write("mixed.t3d", "s.bmp\nbig.bmp\n"), false, 1, false));
    EXPECT_FALSE(LoadTexture(v, Path("four.t3d"), true, 1, false));   // colour-keyed slices
    EXPECT_FALSE(LoadTexture(v, Write("empty.t3d", "\n"), false, 1, false));
    EXPECT_TRUE(v.IsEmpty());
}

TEST_F(NullBackend, CreateTextureSizesAndLocks) {
    CTexture t;
    EXPECT_FALSE(CreateTexture(t, 100, 64, 1, false));
    EXPECT_FALSE(CreateTexture(t, 64, 64, 3, false));
    EXPECT_FALSE(CreateTexture(t, 1 << 30, 1 << 30, 1, false));
    ASSERT_TRUE(CreateTexture(t, 8, 4, 1, true));
    EXPECT_TRUE(t.GetRecord()->fileName.empty());
    CTextureLock lock(t, true);
    lock.Unlock();
    lock.Unlock();   // a second unlock is harmless
    void* data;
    int p, s, b, w, h, d;
    EXPECT_FALSE(lock.GetData(data, p, s, b, w, h, d));
    EXPECT_EQ(data, nullptr);
}

TEST_F(NullBackend, HelpersDrawWhatTheyShould) {
    CTexture empty;
    NullResetCounters();
    DrawSprite(empty, 10, 10, 0, 1, 1);   // no size to draw: nothing
    DrawTexture(empty, 10, 10, 1);
    EXPECT_EQ(NullRenderCounters().primitives, 0);

    CTexture t;
    ASSERT_TRUE(CreateTexture(t, 64, 32, 1, false));
    SetRenderSwitch(RS_DEPTH_TEST, true);
    DrawSprite(t, 100, 100, 0, 1, -0.5f);
    const NullPrimitive& p = NullLastPrimitive();
    ASSERT_EQ(p.vertices.size(), 4u);
    EXPECT_EQ(p.type, PRIM_TRIANGLE_FAN);
    EXPECT_EQ(p.vertices[0].position[0], 68);
    EXPECT_EQ(p.vertices[2].position[1], 116);
    EXPECT_EQ(p.vertices[2].texCoord[0], 1);
    EXPECT_EQ(p.vertices[0].colour, 0x00FFFFFFu);
    EXPECT_EQ(NullBoundTexture(0), t.GetRecord());
    EXPECT_TRUE(GetRenderSwitch(RS_DEPTH_TEST));

    DrawShadedRect(0, 0, 10, 20, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu);
    ASSERT_EQ(NullLastPrimitive().vertices.size(), 6u);
    EXPECT_EQ(NullLastPrimitive().vertices[0].colour, 0xFF7F7F7Fu);
    EXPECT_EQ(NullLastPrimitive().vertices[3].colour, 0xFFFFFFFFu);   // bottom-right
    EXPECT_EQ(NullLastPrimitive().vertices[5].position[0], 0);
    EXPECT_EQ(NullBoundTexture(0), nullptr);

    SetRenderSwitch(RS_DEPTH_TEST, false);
    DrawLine2D(0, 0, 1, 5, 5, 2);
    EXPECT_FALSE(GetRenderSwitch(RS_DEPTH_TEST));
    SetCullMode(CULL_COUNTER_CLOCKWISE);
    DrawTexturedRect(0, 0, 8, 8, t, 1);
    EXPECT_EQ(GetCullMode(), CULL_COUNTER_CLOCKWISE);

    // Releasing the bound texture leaves no stale binding.
    t.DropRecord();
    EXPECT_EQ(NullBoundTexture(0), nullptr);
}

TEST_F(NullBackend, ShaderProgramsLoadKeepUniformsAndLetGo) {
    std::string base = Path("tint");
    Write("tint.glsl_v", "uniform vec4 tint;\nvoid main() { gl_Position = ViewProjectionMatrix * (gl_Vertex * ModelMatrix); }\n");
    Write("tint.glsl_f", "void main() { gl_FragColor = vec4(1.0); }\n");
    {
        CShaderProgram vertexOnly;
        vertexOnly.Load(base, "");
        EXPECT_TRUE(vertexOnly.IsLoaded());
    }
    CShaderProgram missing;
    missing.Load(base, Path("nothing"));
    EXPECT_FALSE(missing.IsLoaded());
    missing.Load("", "");
    EXPECT_FALSE(missing.IsLoaded());

    auto program = std::make_unique<CShaderProgram>();
    program->Load(base, base);
    ASSERT_TRUE(program->IsLoaded());
    program->Bind();
    const float tint[4] = {1, 0.5f, 0.25f, 1};
    program->SetVector4("tint", tint);
    program->SetVector4("unused", tint);
    EXPECT_EQ(program->GetUniformLocation("unused"), -1);
    ASSERT_NE(NullUniformValue(*program, "tint"), nullptr);
    EXPECT_EQ((*NullUniformValue(*program, "tint"))[2], 0.25f);
    EXPECT_EQ(NullUniformValue(*program, "unused"), nullptr);

    Matrix4 world;
    Matrix4Identity(world);
    world.m[3] = 5;
    SetWorldMatrix(world);
    SetStandardMatrices();
    ASSERT_NE(NullUniformValue(*program, "ModelMatrix"), nullptr);
    EXPECT_EQ((*NullUniformValue(*program, "ModelMatrix"))[3], 5.0f);   // row-major, as given

    // Destroying the bound program forgets it: later matrices go nowhere.
    program.reset();
    EXPECT_EQ(GetCurrentShaderProgram(), nullptr);
    SetStandardMatrices();

    NullSetShadersAvailable(false);
    CShaderProgram off;
    off.Load(base, base);
    EXPECT_FALSE(off.IsLoaded());
    EXPECT_EQ(off.GetUniformLocation("tint"), -1);
    NullSetShadersAvailable(true);
}

}  // namespace
