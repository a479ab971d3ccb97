#include "render/device_choices.h"

#include <cstring>

#include "core/matrix.h"

uint32_t ChooseBackBufferFormat(bool colour32, const FormatTest& passes) {
    const uint32_t deep[2] = {DFMT_A2R10G10B10, DFMT_X8R8G8B8};
    const uint32_t shallow[2] = {DFMT_R5G6B5, DFMT_X1R5G5B5};
    for (uint32_t f : colour32 ? deep : shallow)
        if (passes(f))
            return f;
    return DFMT_X8R8G8B8;
}

uint32_t ChooseDepthFormat(bool& stencil, const FormatTest& passes) {
    if (stencil) {
        for (uint32_t f : {DFMT_D24S8, DFMT_D15S1})
            if (passes(f))
                return f;
        stencil = false;
    }
    for (uint32_t f : {DFMT_D32, DFMT_D24X8, DFMT_D24S8, DFMT_D16})
        if (passes(f))
            return f;
    return DFMT_D16;
}

bool ChooseTextureFormat(int kind, bool colour32, const FormatTest& supported, uint32_t& format) {
    switch (kind) {
    case 1: format = DFMT_UNKNOWN; return true;
    case 2:
        format = colour32 ? DFMT_X8R8G8B8 : supported(DFMT_R5G6B5) ? DFMT_R5G6B5 : DFMT_X1R5G5B5;
        return true;
    case 3:
        format = colour32 ? DFMT_A8R8G8B8 : supported(DFMT_A4R4G4B4) ? DFMT_A4R4G4B4 : DFMT_A1R5G5B5;
        return true;
    case 4: format = DFMT_DXT5; return true;
    case 5: format = DFMT_X8R8G8B8; return true;
    default: return false;
    }
}

bool ChooseMadeTextureFormat(int kind, uint32_t& format) {
    if (kind != 2 && kind != 3)
        return false;
    format = kind == 2 ? DFMT_X8R8G8B8 : DFMT_A8R8G8B8;
    return true;
}

int MipLevelCount(int width, int height, bool mipmap) {
    if (!mipmap)
        return 1;
    int side = width < height ? width : height;
    int log2 = 0;
    while (side > 1) {
        side >>= 1;
        log2++;
    }
    return log2 - 2 < 1 ? 1 : log2 - 2;
}

int FormatBitsPerPixel(uint32_t format) {
    switch (format) {
    case DFMT_A8R8G8B8:
    case DFMT_X8R8G8B8:
    case DFMT_A2R10G10B10:
    case DFMT_D32:
    case DFMT_D24S8:
    case DFMT_D24X8:
        return 32;
    case DFMT_R5G6B5:
    case DFMT_X1R5G5B5:
    case DFMT_A1R5G5B5:
    case DFMT_A4R4G4B4:
    case DFMT_D15S1:
    case DFMT_D16:
        return 16;
    case DFMT_DXT5:
        return 8;
    default:
        return 0;
    }
}

bool TakesWordTexels(const LockedLevel& level, int width, int height, int depth) {
    if (level.format != DFMT_A8R8G8B8 && level.format != DFMT_X8R8G8B8)
        return false;
    if (width <= 0 || height <= 0 || depth <= 0 || level.width != width || level.height != height ||
        level.depth != depth)
        return false;
    if (level.rowPitch < int64_t(width) * 4)
        return false;
    return depth == 1 || level.slicePitch >= int64_t(level.rowPitch) * height;
}

bool BuildDeclElements(const VertexLayout& layout, std::vector<DeclElement>& out, int& stride) {
    static const uint8_t usages[4] = {DECL_POSITION, DECL_NORMAL, DECL_COLOR, DECL_TEXCOORD};
    out.clear();
    stride = 0;
    uint8_t nextIndex[4] = {0, 0, 0, 0};
    for (const VertexElement& e : layout) {
        int size = VertexElementSize(e.type);
        if (size == 0 || e.usage < 0 || e.usage > 3)
            return false;
        out.push_back(DeclElement{uint16_t(stride), uint8_t(e.type), usages[e.usage], nextIndex[e.usage]++});
        stride += size;
    }
    return !out.empty();
}

bool JudgeDeviceCaps(const DeviceCapsInfo& caps, int& vertexProcessing, std::string& warnings,
                     CapsVerdict& verdict) {
    if (!caps.runtime) {
        warnings += "DirectX9.0c or greater is required to run this program.\n"
                    "Older versions of DirectX (including DirectX9.0b) will not work.\n"
                    "The latest DirectX runtime can be downloaded from the Microsoft Download Center.\n\n";
        verdict.fatal = true;
        return true;
    }
    if (!caps.capsRead)
        return false;
    size_t before = warnings.size();
    verdict.pixelShaders = caps.pixelShaderMajor >= 1;
    if (!verdict.pixelShaders)
        warnings += "Graphics Card does NOT support pixel shaders.\n"
                    " Most of the graphics will be greatly diminished on this computer\n\n";
    vertexProcessing = caps.vertexShaderMajor <= 0 ? 0 : caps.vertexShaderMajor <= 2 ? 1 : 2;
    verdict.textures3D = caps.volumeTextures;
    if (!verdict.textures3D)
        warnings += "Your graphics card does NOT support 3D textures.  Land will look bad...\n";
    if (caps.declTypes == 0)
        vertexProcessing = 0;
    return warnings.size() != before;
}

void MakeStandardMatrices(StandardMatrices& out, const Matrix4& world, const Matrix4& view,
                          const float projection[16]) {
    Matrix4 p, viewWorld, t, product;
    memcpy(p.m, projection, sizeof(p.m));
    Matrix4Multiply(viewWorld, view, world);
    Matrix4Multiply(product, Matrix4Transpose(t, viewWorld), p);
    memcpy(out.modelViewProjection, product.m, sizeof(product.m));
    Matrix4Multiply(product, Matrix4Transpose(t, view), p);
    memcpy(out.viewProjection, product.m, sizeof(product.m));
    memcpy(out.projection, p.m, sizeof(p.m));
    memcpy(out.modelView, viewWorld.m, sizeof(viewWorld.m));
    memcpy(out.model, world.m, sizeof(world.m));
}

static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool CompileLogReportsError(const std::string& log) {
    size_t n = log.size();
    for (size_t i = 0; i < n; i++) {
        bool wordStart = i == 0 || !(IsLetter(log[i - 1]) || IsDigit(log[i - 1]));
        if (!wordStart)
            continue;
        if (i + 5 <= n) {
            bool word = true;
            for (size_t k = 0; k < 5 && word; k++)
                word = (log[i + k] | 0x20) == "error"[k];
            if (word && (i + 5 == n || !IsLetter(log[i + 5])))
                return true;
        }
        if (log[i] == 'E') {
            size_t k = i + 1;
            while (k < n && IsDigit(log[k]))
                k++;
            if (k - i - 1 == 4 && k < n && log[k] == ':')
                return true;
        }
    }
    return false;
}
