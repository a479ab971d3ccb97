#include "render/render_setup.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <utility>
#include <vector>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/render_maths.h"

typedef std::list<RenderCallback> CallbackList;

// Never destroyed: the at-exit shutdown may still walk them after the other
// statics are gone.
static CallbackList& ShutdownList() {
    static CallbackList& list = *new CallbackList;
    return list;
}

static CallbackList& DeviceLostList() {
    static CallbackList& list = *new CallbackList;
    return list;
}

static CallbackList& DeviceResetList() {
    static CallbackList& list = *new CallbackList;
    return list;
}

static bool deviceLost = false;
static float currentProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

static void RunList(const CallbackList& list) {
    // A callback may register or unregister others: walk a copy.
    CallbackList copy = list;
    for (RenderCallback f : copy)
        f();
}

static void RemoveFirst(CallbackList& list, RenderCallback function) {
    for (CallbackList::iterator it = list.begin(); it != list.end(); ++it) {
        if (*it == function) {
            list.erase(it);
            return;
        }
    }
}

void RegisterShutdownCallback(RenderCallback function) { ShutdownList().push_front(function); }
void RegisterDeviceLostCallback(RenderCallback function) { DeviceLostList().push_front(function); }
void RegisterDeviceResetCallback(RenderCallback function) { DeviceResetList().push_front(function); }
void UnregisterDeviceLostCallback(RenderCallback function) { RemoveFirst(DeviceLostList(), function); }
void UnregisterDeviceResetCallback(RenderCallback function) { RemoveFirst(DeviceResetList(), function); }
void RegisterDeviceCallbacks(RenderCallback lostCallback, RenderCallback resetCallback,
                             ResetHandlerList resetList) {
    typedef std::pair<RenderCallback, RenderCallback> Pair;
    // Never destroyed, as the lists are not.
    static std::vector<Pair>& registered = *new std::vector<Pair>;
    Pair pair(lostCallback, resetCallback);
    if (std::find(registered.begin(), registered.end(), pair) != registered.end())
        return;
    registered.push_back(pair);
    RegisterDeviceLostCallback(lostCallback);
    if (resetList == RESET_HANDLER_ON_LOST_LIST)
        RegisterDeviceLostCallback(resetCallback);
    else
        RegisterDeviceResetCallback(resetCallback);
}

void RunShutdownCallbacks() { RunList(ShutdownList()); }
void RunDeviceLostCallbacks() { RunList(DeviceLostList()); }
void RunDeviceResetCallbacks() { RunList(DeviceResetList()); }

void SetDeviceLost(bool lost) {
    if (lost == deviceLost)
        return;
    deviceLost = lost;
    if (lost)
        RunDeviceLostCallbacks();
    else
        RunDeviceResetCallbacks();
}

bool IsDeviceLost() { return deviceLost; }

const float* GetCurrentProjection() { return currentProjection; }

void SetCurrentProjection(const float* projection) {
    memcpy(currentProjection, projection, sizeof(currentProjection));
}

void SetDefaultRenderState() {
    SetRenderSwitch(RS_DEPTH_TEST, true);
    SetRenderSwitch(RS_DEPTH_WRITE, true);
    SetRenderSwitch(RS_BLEND, true);
    SetRenderSwitch(RS_ALPHA_TEST, true);
    SetRenderSwitch(RS_STENCIL_TEST, false);
    SetRenderSwitch(RS_LIGHTING, false);
    SetRenderSwitch(RS_WIREFRAME, false);
    SetRenderSwitch(RS_COLOUR_WRITE, true);
    SetCullMode(CULL_CLOCKWISE);
    SetAlphaRef(0.0f);
    SetAlphaFunc(CMP_NOT_EQUAL);
    SetDepthFunc(CMP_LESS_EQUAL);
    SetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);

    Matrix4 identity;
    Matrix4Identity(identity);
    SetProjectionMatrix(identity);
    SetCurrentProjection(identity.m);
    SetViewMatrix(identity);
    SetWorldMatrix(identity);

    const RenderSetup* setup = GetRenderSetup();
    SetViewport(0, 0, setup ? setup->width : 0, setup ? setup->height : 0);
}

void SetScreenProjection() {
    Matrix4 identity;
    Matrix4Identity(identity);
    SetWorldMatrix(identity);
    SetViewMatrix(identity);

    const RenderSetup* setup = GetRenderSetup();
    int width = setup ? setup->width : 800, height = setup ? setup->height : 600;
    Matrix4 projection;
    MakeScreenProjection(projection.m, width, height);
    // The 2D helpers and text aim at OpenGL's pixel centres (+0.5): move
    // them onto this device's centres.
    float shift = PixelCentre() - 0.5f;
    projection.m[12] += 2.0f * shift / float(width);
    projection.m[13] -= 2.0f * shift / float(height);
    SetCurrentProjection(projection.m);
    SetProjectionMatrix(projection);
}
