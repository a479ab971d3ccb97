// The back-ends' shared arithmetic: matrix orders, viewport flips, packed
// colours, corners, sizes, vertex layouts and shader logs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/matrix.h"
#include "render/render_maths.h"
#include "render/resources.h"

namespace {

Matrix4 Sample(float base) {
    Matrix4 m;
    for (int i = 0; i < 16; i++)
        m.m[i] = base + float(i);
    return m;
}

TEST(BackendMaths, GLOrderIsTheTransposeAndRoundTrips) {
    Matrix4 m = Sample(1), back;
    float gl[16];
    MatrixToGLOrder(gl, m);
    EXPECT_EQ(gl[1], m.m[4]);    // column 0, row 1
    EXPECT_EQ(gl[12], m.m[3]);   // translation x lands in element 12
    MatrixFromGLOrder(back, gl);
    EXPECT_EQ(memcmp(back.m, m.m, sizeof(m.m)), 0);
}

TEST(BackendMaths, ModelViewIsViewTimesWorldInGLOrder) {
    Matrix4 view = Sample(1), world = Sample(-7), product;
    Matrix4Multiply(product, view, world);
    float expected[16], viewGL[16], worldGL[16], modelView[16];
    MatrixToGLOrder(expected, product);
    MatrixToGLOrder(viewGL, view);
    MatrixToGLOrder(worldGL, world);
    MakeModelView(modelView, viewGL, worldGL);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(modelView[i], expected[i]) << i;
    MultiplyGLOrder(viewGL, viewGL, worldGL);   // output may alias an input
    EXPECT_EQ(memcmp(viewGL, modelView, sizeof(modelView)), 0);
}

TEST(BackendMaths, ViewportFlipMeasuresFromTheBottom) {
    ViewportRect whole = FlipViewport(ViewportRect{0, 0, 800, 600}, 600);
    EXPECT_EQ(whole.y, 0);
    EXPECT_EQ(whole.height, 600);
    ViewportRect top = FlipViewport(ViewportRect{10, 20, 100, 50}, 600);
    EXPECT_EQ(top.x, 10);
    EXPECT_EQ(top.y, 530);
}

TEST(BackendMaths, ColoursFromPackedWords) {
    float c[4];
    UnpackColour(0x80FF0000u, c);
    EXPECT_EQ(c[0], 0.0f);
    EXPECT_EQ(c[1], 0.0f);
    EXPECT_EQ(c[2], 1.0f);
    EXPECT_NEAR(c[3], 0.502f, 0.001f);
    UnpackColour(0xffcc7f00u, c);   // the sky
    EXPECT_EQ(lroundf(c[0] * 255), 0);
    EXPECT_EQ(lroundf(c[1] * 255), 127);
    EXPECT_EQ(lroundf(c[2] * 255), 204);

    struct { float alpha; uint32_t colour; } whites[] = {
        {-0.5f, 0x00FFFFFFu}, {2.0f, 0xFFFFFFFFu}, {0.5f, 0x7FFFFFFFu},
        {std::numeric_limits<float>::quiet_NaN(), 0x00FFFFFFu}};
    for (const auto& w : whites)
        EXPECT_EQ(AlphaToWhite(w.alpha), w.colour) << w.alpha;

    EXPECT_EQ(AverageColour(0x03030303u, 0, 0, 0), 0u);   // rounded down per channel

}

TEST(BackendMaths, SpriteAndRectCorners) {
    float c[8];
    SpriteCorners(c, 64, 32, 100, 100, 0, 1);
    const float expected[8] = {68, 84, 132, 84, 132, 116, 68, 116};
    for (int i = 0; i < 8; i++)
        EXPECT_FLOAT_EQ(c[i], expected[i]) << i;
    SpriteCorners(c, 64, 32, 0, 0, float(M_PI) / 2, 2);   // quarter turn, doubled
    EXPECT_NEAR(c[0], 32, 1e-4);    // (-64, -32) turns to (32, -64)
    EXPECT_NEAR(c[1], -64, 1e-4);
    RectCorners(c, 10, 20, 30, 40);
    EXPECT_FLOAT_EQ(c[0], 10.5f);
    EXPECT_FLOAT_EQ(c[5], 40.5f);
}

TEST(BackendMaths, SizesAndOverflow) {
    for (int n : {1, 256})
        EXPECT_TRUE(IsPowerOfTwo(n)) << n;
    for (int n : {0, 100, -256})
        EXPECT_FALSE(IsPowerOfTwo(n)) << n;
    size_t n = 0;
    EXPECT_TRUE(CheckedSize(n, 32, 1000, 1, 1, 1 << 20));
    EXPECT_EQ(n, 32000u);
    EXPECT_FALSE(CheckedSize(n, 1 << 30, 1 << 30, 1 << 30, 4, size_t(1) << 40));
    EXPECT_FALSE(CheckedSize(n, -1, 4, 1, 1, 100));
    EXPECT_TRUE(CheckedSize(n, 0, 4, 1, 1, 100));
    EXPECT_EQ(n, 0u);
}

TEST(BackendMaths, VertexLayouts) {
    VertexLayout layout = {{VET_FLOAT3, VU_POSITION}, {VET_COLOUR, VU_COLOUR},
                           {VET_FLOAT2, VU_TEXCOORD}, {VET_FLOAT2, VU_TEXCOORD}};
    EXPECT_EQ(VertexLayoutSize(layout), 32);
    EXPECT_EQ(VertexElementSize(17), 0);
    EXPECT_EQ(VertexLayoutSize(VertexLayout()), 0);
    VertexLayout text = MakeTextVertexLayout();
    EXPECT_EQ(VertexLayoutSize(text), 20);
    EXPECT_TRUE(VertexLayoutsEqual(text, MakeTextVertexLayout()));
    EXPECT_FALSE(VertexLayoutsEqual(text, layout));
    text[1].usage = VU_NORMAL;
    EXPECT_FALSE(VertexLayoutsEqual(text, MakeTextVertexLayout()));
}

TEST(BackendMaths, ShaderLogLinesReferToTheStageFile) {
    std::string prefix = "uniform mat4 ModelMatrix;\nuniform mat4 ViewProjectionMatrix;\n";
    int offset = PrefixLineCount(prefix);
    EXPECT_EQ(offset, 3);
    struct { const char* log; const char* rewritten; } cases[] = {
        {"ERROR: 0:7: 'x' : undeclared identifier\n", "ERROR: 4: 'x' : undeclared identifier\n"},
        {"(12) : error C1008: undefined variable", "(9) : error C1008: undefined variable"},
        {"oneword\nWARNING: nothing here", "oneword\nWARNING: nothing here"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(RewriteShaderLog(c.log, offset), c.rewritten);
}

}  // namespace
