// The Direct3D program's frame and start-up operations beyond the common
// back-end seam. Free of platform headers, so the entry code can name them.
#ifndef RENDER_D3D9_D3D_FRAME_H
#define RENDER_D3D9_D3D_FRAME_H

#include <cstdint>
#include <string>

// Before InitRenderer: reads the runtime's and the HAL device's capabilities,
// sets vertexProcessing from them and appends the start-up warnings. True
// when a warning was appended; IsFatalCaps then says whether the device must
// not be made.
bool CheckDirect3DCaps(int& vertexProcessing, std::string& warnings);
bool IsFatalCaps();

// Before each frame is drawn: opens the scene, or, while the device is lost,
// tries to get it back (resetting it when mayReset allows) and gives false:
// nothing is drawn this frame. The device-lost and reset callback lists run
// once per loss.
bool BeginFrame(float frameTime, bool countTime, bool mayReset);
// Clipping, Gouraud shading, texture x diffuse on stage 0 and the other
// stages off, then the default render states. Nothing while lost.
void SetDefaultDeviceStates();
// Ends the scene when one is open.
void EndFrame();
bool IsDeviceReady();
bool IsInitialisationRefused();
// Sum and count of the frame times BeginFrame counted.
void GetCountedFrameTime(float& sum, uint32_t& frames);

// Test hook: makes the next BeginFrame take the device-lost path and reset
// the device, as a lost device would. Only test programs call it.
void ForceDeviceResetForTest();
// Test hook: the next scene the frame start opens fails to begin, as a
// driver's may right after a reset.
void FailNextSceneForTest();
// Test hook: once afterFrames frames were counted, every BeginFrame finds the
// device lost and never given back (as a window that never gets its
// full-screen device back would). onLostFrame, when given, is called at each
// frame start that finds it so, for a test to wait on skipped frames.
void KeepDeviceLostForTest(uint32_t afterFrames, void (*onLostFrame)() = nullptr);

#endif
