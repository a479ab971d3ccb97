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
// Which list a back-end's device pair puts its reset handler on: the
// OpenGL program the reset list, the Direct3D program the lost list too.
enum ResetHandlerList { RESET_HANDLER_ON_RESET_LIST, RESET_HANDLER_ON_LOST_LIST };
// Once per run for each pair: the lost handler joins the device-lost list
// and the reset handler the list named. A pair given again adds nothing;
// another pair is registered in its own right.
void RegisterDeviceCallbacks(RenderCallback lostCallback, RenderCallback resetCallback,
                             ResetHandlerList resetList);
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
