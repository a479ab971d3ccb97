// The render set-up shared by every drawing pass: the default states the
// back-end applies once its device exists, the pixel-space projection used
// before each 2D pass, and the three device callback lists.
#ifndef RENDER_RENDER_SETUP_H
#define RENDER_RENDER_SETUP_H

typedef void (*RenderCallback)();

// Depth test and writes on, blending source alpha / one minus source alpha,
// alpha test passing alpha != 0, clockwise front faces culled, identity
// matrices and the whole setup area as viewport.
void SetDefaultRenderState();
// Pixels of the setup's width and height, origin top left, y down.
void SetScreenProjection();

// Lists live for the whole run (never destroyed). A function registered last
// runs first; registering twice calls it twice.
void RegisterShutdownCallback(RenderCallback function);
void RegisterDeviceLostCallback(RenderCallback function);
void RegisterDeviceResetCallback(RenderCallback function);
void UnregisterDeviceLostCallback(RenderCallback function);
void UnregisterDeviceResetCallback(RenderCallback function);
// The Direct3D textures' pair: the first call of the run puts both on the
// device-lost list (the reset list gets nothing); later calls add nothing.
void RegisterDeviceCallbacks(RenderCallback lostCallback, RenderCallback resetCallback);
void RunShutdownCallbacks();
void RunDeviceLostCallbacks();
void RunDeviceResetCallbacks();

// A change to true runs the device-lost list, a change to false the reset
// list; no change, no call.
void SetDeviceLost(bool lost);
bool IsDeviceLost();

// The projection loaded last by SetDefaultRenderState, SetScreenProjection or
// the perspective set-up, in the order it was loaded.
const float* GetCurrentProjection();
void SetCurrentProjection(const float* projection);

#endif
