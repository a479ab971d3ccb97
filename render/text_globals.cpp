// The shared texts: the scratch text of DrawString and the measuring text.
#include "render/text.h"

#include "render/render_setup.h"

namespace {

CText* scratchText = nullptr;
bool scratchRegistered = false;
CText* measureText = nullptr;
CTexture* spareTexture = nullptr;

void ReleaseScratchText() {
    delete scratchText;
    scratchText = nullptr;
}

}  // namespace

CText* GetScratchText() {
    if (!scratchText) {
        scratchText = new CText;
        if (!scratchRegistered) {
            RegisterShutdownCallback(ReleaseScratchText);
            scratchRegistered = true;
        }
    }
    return scratchText;
}

void DrawString(const std::string& text, float x, float y, uint32_t colour, float size,
                const std::string& fontName) {
    CText* s = GetScratchText();
    s->Clear();
    s->SetFont(fontName);
    s->SetSize(size);
    s->AddColour(colour);
    *s += CText(text);
    s->SetPosition(x, y);
    s->Draw();
}

void CreateTextGlobals() {
    DestroyTextGlobals();
    measureText = new CText;
    spareTexture = new CTexture;
}

void DestroyTextGlobals() {
    delete spareTexture;
    spareTexture = nullptr;
    delete measureText;
    measureText = nullptr;
}

CTexture* GetSpareTexture() {
    return spareTexture;
}

static void MeasureText(const std::string& text, float size, const std::string& fontName,
                        float& width, float& height) {
    width = height = 0.0f;
    if (!measureText) {
        return;
    }
    *measureText = text;
    measureText->SetSize(size);
    measureText->SetFont(fontName);
    float left, top, right, bottom;
    measureText->GetBounds(left, top, right, bottom);
    width = right - left;
    height = bottom - top;
}

float MeasureTextWidth(const std::string& text, float size, const std::string& fontName) {
    float width, height;
    MeasureText(text, size, fontName, width, height);
    return width;
}

float MeasureTextHeight(const std::string& text, float size, const std::string& fontName) {
    float width, height;
    MeasureText(text, size, fontName, width, height);
    return height;
}
