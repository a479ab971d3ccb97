// The Direct3D back-end's choices that need no device: formats by what the
// set-up asks and the device passes, mip-level counts, vertex declarations
// from layouts, the start-up capability verdict and the packed-colour swap.
// Neutral so the native tests can check them; the values are Direct3D's own
// (render/d3d9 asserts that they match its headers).
#ifndef RENDER_DEVICE_CHOICES_H
#define RENDER_DEVICE_CHOICES_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/resources.h"

enum DeviceFormat : uint32_t {
    DFMT_UNKNOWN = 0,
    DFMT_A8R8G8B8 = 21,
    DFMT_X8R8G8B8 = 22,
    DFMT_R5G6B5 = 23,
    DFMT_X1R5G5B5 = 24,
    DFMT_A1R5G5B5 = 25,
    DFMT_A4R4G4B4 = 26,
    DFMT_A2R10G10B10 = 35,
    DFMT_D32 = 71,
    DFMT_D15S1 = 73,
    DFMT_D24S8 = 75,
    DFMT_D24X8 = 77,
    DFMT_D16 = 80,
    DFMT_DXT5 = 0x35545844   // 'D','X','T','5'
};

// Declaration usages as Direct3D numbers them.
enum DeclUsage : uint8_t { DECL_POSITION = 0, DECL_NORMAL = 3, DECL_TEXCOORD = 5, DECL_COLOR = 10 };

typedef std::function<bool(uint32_t format)> FormatTest;

// A2R10G10B10 then X8R8G8B8 for 32-bit colour, R5G6B5 then X1R5G5B5
// otherwise; X8R8G8B8 when none passes.
uint32_t ChooseBackBufferFormat(bool colour32, const FormatTest& passes);
// With stencil D24S8 then D15S1; when neither passes (or without stencil)
// stencil is cleared and D32, D24X8, D24S8, D16 are tried; D16 when none passes.
uint32_t ChooseDepthFormat(bool& stencil, const FormatTest& passes);
// Format a texture of this kind is made in; DFMT_UNKNOWN keeps the file's
// own. False for a kind that has none. supported says whether the device
// takes a 16-bit format as a texture.
bool ChooseTextureFormat(int kind, bool colour32, const FormatTest& supported, uint32_t& format);
// Format of a texture CreateTexture makes: kind 2 X8R8G8B8, kind 3
// A8R8G8B8; false for any other kind.
bool ChooseMadeTextureFormat(int kind, uint32_t& format);
// 1 without mipmaps; with them log2 of the smaller side minus 2, at least 1.
int MipLevelCount(int width, int height, bool mipmap);
// Bits per pixel of the formats above (DXT5: 8, a block of 16 texels in 16
// bytes); 0 for any other format.
int FormatBitsPerPixel(uint32_t format);

// A texture level as the device describes it once locked.
struct LockedLevel {
    uint32_t format;
    int width, height, depth;   // depth 1 for a 2D level
    int rowPitch, slicePitch;   // bytes; slicePitch only read for depth above 1
};
// Whether the CPU copies, which move rows of width texels of four bytes
// (blue, green, red, alpha), fit this level of a width x height x depth
// texture: the level is A8R8G8B8 or X8R8G8B8, exactly that size, and its
// rows and slices hold that many bytes. Another format, or a level D3DX
// made smaller than asked, would be read or written past its end.
bool TakesWordTexels(const LockedLevel& level, int width, int height, int depth);

struct DeclElement {
    uint16_t offset;
    uint8_t type;        // VertexElementType: Direct3D's declaration type
    uint8_t usage;       // DeclUsage
    uint8_t usageIndex;  // counts up per usage: two texture coordinates are TEXCOORD0 and 1
};

// All on stream 0 at running offsets. False for an element of unknown type
// or usage, or an empty layout.
bool BuildDeclElements(const VertexLayout& layout, std::vector<DeclElement>& out, int& stride);

// What the capability check read from the runtime and the HAL device.
struct DeviceCapsInfo {
    bool runtime = true;          // Direct3DCreate9 gave an object
    bool capsRead = true;
    int pixelShaderMajor = 0;
    int vertexShaderMajor = 0;
    bool volumeTextures = false;
    uint32_t declTypes = 0;
};

struct CapsVerdict {
    bool fatal = false;           // no Direct3D 9: the device is never made
    bool pixelShaders = true;
    bool textures3D = true;
};

// Appends the start-up warnings and adjusts vertexProcessing; true when a
// warning was appended.
bool JudgeDeviceCaps(const DeviceCapsInfo& caps, int& vertexProcessing, std::string& warnings,
                     CapsVerdict& verdict);

struct Matrix4;

// The matrices the Direct3D programs read, from the world W and view V in
// Matrix4 form and the projection P as the device holds it. Each is handed
// to the program as a Matrix4, so HLSL sees it as GLSL would: the first
// three are used as mul(M, p), the model-view and model matrices as mul(p, M).
struct StandardMatrices {
    float modelViewProjection[16];   // transpose(V x W) x P
    float viewProjection[16];        // transpose(V) x P
    float projection[16];            // P
    float modelView[16];             // V x W
    float model[16];                 // W
};
void MakeStandardMatrices(StandardMatrices& out, const Matrix4& world, const Matrix4& view,
                          const float projection[16]);

// Whether a shader compiler's message text names an error: "error" as a
// word (D3DX's "error X3004:") or a code of E and four digits followed by a
// colon ("E5017:"). Warnings ("warning X3206:", "W5300:") do not count.
// Some runtimes report success while their text says they dropped
// expressions, so the text decides as well as the result.
bool CompileLogReportsError(const std::string& log);

// The game packs red in the low byte; Direct3D's vertex colour has blue there.
inline uint32_t SwapRedBlue(uint32_t c) {
    return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}

#endif
