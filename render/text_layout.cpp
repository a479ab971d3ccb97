// CText layout into lines, the glyph vertex cache and drawing.
#include "render/text.h"

#include <algorithm>

#include "render/backend.h"
#include "render/font.h"
#include "render/shader.h"

CShaderProgram* FontShader = nullptr;

namespace {

void AppendColourCode(std::string& line, uint32_t colour) {
    line += TEXT_COLOUR_CODE;
    line += (char)(colour >> 24);
    line += (char)(colour & 0xFF);
    line += (char)((colour >> 8) & 0xFF);
    line += (char)((colour >> 16) & 0xFF);
}

}  // namespace

// Sizes come from the font, not the request, so measuring and drawing agree.
float CText::Advance(uint8_t code) const {
    if (fixedPitch) {
        return font->size * advanceFactor;
    }
    return (float)font->widths[code];
}

bool CText::NextLine(int& offset, std::string& line, float& width, bool withColours) {
    UpdateFont();
    const std::string& text = value.AsString();
    int length = (int)text.size();
    line.clear();
    width = 0.0f;
    if (!font) {
        offset = length;
        return false;
    }
    if (offset < 0) {
        offset = 0;
    }
    if (offset >= length) {
        return false;
    }

    // Runs are kept in order of position: the first at or after the offset
    // is found by halving, so laying out many lines stays linear.
    size_t run = (size_t)(std::partition_point(runs.begin(), runs.end(),
                                               [offset](const ColourRun& r) { return r.position < offset; }) -
                          runs.begin());
    int glyphs = 0;
    bool spaceSeen = false;
    size_t lineAfterSpace = 0;
    int offsetAfterSpace = 0;
    for (int pos = offset; pos < length; pos++) {
        size_t lineBefore = line.size();
        while (run < runs.size() && runs[run].position <= pos) {
            if (withColours && runs[run].position == pos) {
                AppendColourCode(line, runs[run].colour);
            }
            run++;
        }
        uint8_t c = (uint8_t)text[pos];
        if (c == '\n') {
            offset = pos + 1;
            return offset < length;
        }
        if (c < 32) {
            continue;
        }
        float advance = Advance(c);
        // A line always takes at least one glyph, however narrow the wrap.
        if (wrapWidth != 0.0f && width + advance >= wrapWidth && glyphs > 0) {
            if (spaceSeen) {
                // Codes after the space are emitted again on the next line.
                line.resize(lineAfterSpace);
                offset = offsetAfterSpace;
            } else {
                line.resize(lineBefore);
                offset = pos;
            }
            width = wrapWidth;
            return true;
        }
        line += (char)c;
        width += advance;
        glyphs++;
        if (c == ' ') {
            spaceSeen = true;
            lineAfterSpace = line.size();
            offsetAfterSpace = pos + 1;
        }
    }
    offset = length;
    return false;
}

void CText::GetBounds(float& left, float& top, float& right, float& bottom) {
    UpdateFont();
    left = right = x;
    top = bottom = y;
    if (!font) {
        return;
    }
    int offset = 0;
    std::string line;
    float width;
    float widest = 0.0f;
    for (;;) {
        bool more = NextLine(offset, line, width, false);
        if (width > widest) {
            widest = width;
        }
        if (!more) {
            if (!line.empty()) {
                bottom += font->size;
            }
            break;
        }
        bottom += font->size;
    }
    right = x + widest;
}

void CText::BuildVertices() {
    vertexCount = 0;
    UpdateFont();
    int needed = 6 * (int)cachedText.size();
    if (capacity < needed) {
        capacity = needed + 192;
        if (!CreateVertexBuffer(vertexBuffer, (int)sizeof(TextVertex), capacity,
                                MakeTextVertexLayout(), true, true)) {
            capacity = 0;
            cachedText.clear();
            return;
        }
    }
    if (!font) {
        return;
    }
    CVertexBufferLock lock(vertexBuffer);
    TextVertex* out = (TextVertex*)lock.data;
    if (!out) {
        return;
    }

    float s = font->size;
    // Quads start on pixel centres, so samples fall on texel edges (all of
    // them where a quad shows its cell texel for texel) and rounding chose
    // the texel: the first row or column could take the neighbouring cell
    // (Direct3D showed the glyph above as a mark) and OpenGL doubled or
    // dropped columns by position. A 64th of a texel into the cell makes
    // every such sample take the texel after the edge, in both programs;
    // filtered fonts move half a texel, so a sample on an edge reads the
    // texel after it alone instead of half of each.
    float nudge = IsFilteredFont(*font) ? 0.5f : 1.0f / 64.0f;
    float nudgeU = font->texture.GetWidth() > 0 ? nudge / (float)font->texture.GetWidth() : 0.0f;
    float nudgeV = font->texture.GetHeight() > 0 ? nudge / (float)font->texture.GetHeight() : 0.0f;
    float drawY = y + 0.5f;
    uint32_t colour = ToDeviceColour(TEXT_DEFAULT_COLOUR);
    int offset = 0;
    std::string line;
    float width;
    bool more = true;
    while (more) {
        more = NextLine(offset, line, width, true);
        float drawX = x + 0.5f;
        for (size_t i = 0; i < line.size(); i++) {
            uint8_t c = (uint8_t)line[i];
            if (c == (uint8_t)TEXT_COLOUR_CODE && i + 4 < line.size()) {
                uint32_t a = (uint8_t)line[i + 1];
                uint32_t r = (uint8_t)line[i + 2];
                uint32_t g = (uint8_t)line[i + 3];
                uint32_t b = (uint8_t)line[i + 4];
                colour = ToDeviceColour(a << 24 | b << 16 | g << 8 | r);
                i += 4;
                continue;
            }
            if (vertexCount + 6 > capacity) {
                break;
            }
            float u = (c % 16) / 16.0f + nudgeU;
            float v = (c / 16) / 16.0f + nudgeV;
            const float step = 1.0f / 16.0f;
            TextVertex* q = out + vertexCount;
            q[0] = TextVertex{drawX, drawY, colour, u, v};
            q[1] = TextVertex{drawX + s, drawY, colour, u + step, v};
            q[2] = TextVertex{drawX, drawY + s, colour, u, v + step};
            q[3] = TextVertex{drawX, drawY + s, colour, u, v + step};
            q[4] = TextVertex{drawX + s, drawY, colour, u + step, v};
            q[5] = TextVertex{drawX + s, drawY + s, colour, u + step, v + step};
            vertexCount += 6;
            drawX += Advance(c);
        }
        drawY += s;
    }
    lock.Unlock();
    cacheValid = true;
    cachedFont = font.get();
}

void CText::Draw() {
    const std::string& text = value.AsString();
    if (text.empty()) {
        return;
    }
    if (!FontShader) {
        FontShader = new CShaderProgram;
        FontShader->Load("data\\shaders\\gbfont", "");
    }
    UpdateFont();
    if (!font) {
        return;
    }
    if (!cacheValid || font.get() != cachedFont || cachedText != text || vertexBuffer.IsEmpty()) {
        cachedText = text;
        BuildVertices();
    }
    if (vertexBuffer.IsEmpty()) {
        return;
    }
    SetCullMode(CULL_NONE);
    BindTexture(font->texture, 0);
    BindVertexBuffer(vertexBuffer);
    FontShader->Bind();
    SetStandardMatrices();
    DrawTriangles(0, vertexCount / 3);
}

void ReleaseFontShader() {
    if (FontShader) {
        FontShader->Release();
        delete FontShader;
        FontShader = nullptr;
    }
}
