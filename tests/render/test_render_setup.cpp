#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/render_setup.h"

namespace {

std::string calls;
void A() { calls += "A"; }
void B() { calls += "B"; }
void C() { calls += "C"; }
void D() { calls += "D"; }

// The lists live for the whole run: take out what each test put in.
TEST(RenderCallbacks, LastRegisteredRunsFirstAndUnregisterRemovesOneEntry) {
    calls.clear();
    RegisterDeviceLostCallback(A);
    RegisterDeviceLostCallback(B);
    RegisterDeviceLostCallback(A);   // twice: runs twice
    RunDeviceLostCallbacks();
    EXPECT_EQ(calls, "ABA");
    UnregisterDeviceLostCallback(A);
    calls.clear();
    RunDeviceLostCallbacks();
    EXPECT_EQ(calls, "BA");
    UnregisterDeviceLostCallback(C);   // absent: nothing
    UnregisterDeviceLostCallback(B);
    UnregisterDeviceLostCallback(A);
    calls.clear();
    RunDeviceLostCallbacks();
    EXPECT_EQ(calls, "");
}

TEST(RenderCallbacks, DeviceLostRunsEachListOncePerChange) {
    calls.clear();
    RegisterDeviceLostCallback(A);
    RegisterDeviceResetCallback(B);
    SetDeviceLost(false);   // no change at start
    EXPECT_EQ(calls, "");
    SetDeviceLost(true);
    SetDeviceLost(true);
    EXPECT_TRUE(IsDeviceLost());
    SetDeviceLost(false);
    SetDeviceLost(false);
    EXPECT_FALSE(IsDeviceLost());
    EXPECT_EQ(calls, "AB");
    UnregisterDeviceLostCallback(A);
    UnregisterDeviceResetCallback(B);
}

// Each back-end's form of its device pair: Direct3D puts both handlers on
// the lost list, OpenGL the reset handler on the reset list. Each pair joins
// once per run; the first pair registered does not stand for the second.
TEST(RenderCallbacks, EachDevicePairJoinsItsBackEndsListsOncePerRun) {
    calls.clear();
    RegisterDeviceCallbacks(A, B, RESET_HANDLER_ON_LOST_LIST);
    RegisterDeviceCallbacks(C, D, RESET_HANDLER_ON_RESET_LIST);
    RegisterDeviceCallbacks(A, B, RESET_HANDLER_ON_LOST_LIST);
    RegisterDeviceCallbacks(C, D, RESET_HANDLER_ON_RESET_LIST);
    SetDeviceLost(true);
    EXPECT_EQ(calls, "CBA");
    calls.clear();
    SetDeviceLost(false);
    EXPECT_EQ(calls, "D");
    UnregisterDeviceLostCallback(A);
    UnregisterDeviceLostCallback(B);
    UnregisterDeviceLostCallback(C);
    UnregisterDeviceResetCallback(D);
}

TEST(RenderCallbacks, ShutdownRunsShutdownListNewestFirst) {
    calls.clear();
    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    RegisterShutdownCallback(A);
    RegisterShutdownCallback(B);
    ShutdownRenderer();
    EXPECT_EQ(calls, "BA");
    EXPECT_FALSE(HasRenderContext());
}

void Transform(const float* gl, float x, float y, float z, float out[3]) {
    float in[4] = {x, y, z, 1};
    float r[4];
    for (int row = 0; row < 4; row++) {
        r[row] = 0;
        for (int k = 0; k < 4; k++)
            r[row] += gl[k * 4 + row] * in[k];
    }
    for (int i = 0; i < 3; i++)
        out[i] = r[i] / r[3];
}

TEST(RenderSetUp, DefaultStateAndScreenProjectionAfterInit) {
    RenderSetup setup;
    setup.width = 640;
    setup.height = 480;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    // Depth test and write, blending, alpha test on; stencil, lighting, wireframe off; colour writes on.
    const bool on[] = {true, true, true, true, false, false, false, true};
    for (int s = RS_DEPTH_TEST; s <= RS_COLOUR_WRITE; s++)
        EXPECT_EQ(GetRenderSwitch(RenderSwitch(s)), on[s]) << s;
    EXPECT_EQ(GetCullMode(), CULL_CLOCKWISE);
    EXPECT_EQ(GetAlphaFunc(), CMP_NOT_EQUAL);
    EXPECT_EQ(GetAlphaRef(), 0.0f);
    EXPECT_EQ(GetDepthFunc(), CMP_LESS_EQUAL);
    ViewportRect vp;
    GetViewport(vp);
    EXPECT_EQ(vp.width, 640);
    EXPECT_EQ(vp.height, 480);
    Matrix4 world;
    GetWorldMatrix(world);
    EXPECT_EQ(world.m[0], 1.0f);
    EXPECT_EQ(world.m[3], 0.0f);

    // The screen projection maps the viewport's pixels onto the unit cube.
    SetScreenProjection();
    float p[3];
    Transform(GetCurrentProjection(), 0, 0, 0, p);
    EXPECT_FLOAT_EQ(p[0], -1);
    EXPECT_FLOAT_EQ(p[1], 1);
    Transform(GetCurrentProjection(), 640, 480, 0.5f, p);
    EXPECT_FLOAT_EQ(p[0], 1);
    EXPECT_FLOAT_EQ(p[1], -1);
    EXPECT_FLOAT_EQ(p[2], -0.5f);
    Matrix4 loaded;
    GetProjectionMatrix(loaded);
    EXPECT_EQ(memcmp(loaded.m, GetCurrentProjection(), sizeof(loaded.m)), 0);
    ShutdownRenderer();
}

TEST(RenderSetUp, CheckRenderSetup) {
    std::string error = "x";
    EXPECT_FALSE(CheckRenderSetup(nullptr, error));
    EXPECT_EQ(error, "Invalid pointer passed for Setup struct.");
    RenderSetup setup;
    EXPECT_TRUE(CheckRenderSetup(&setup, error));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(InitRenderer(nullptr, nullptr));
}

}  // namespace
