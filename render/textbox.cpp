#include "render/textbox.h"

#include "render/backend.h"

CTextBox::CTextBox(const std::string& fontName, float x, float y, float height, float width,
                   int maxLines, float textSize, bool fixedPitch, float advanceFactor)
    : maxLines(maxLines), x(x), y(y), height(height), width(width), textSize(textSize),
      fontName(fontName), fixedPitch(fixedPitch), advanceFactor(advanceFactor), scroll(1.0f),
      firstVisible(0), lastVisible(0) {
}

CTextBox::~CTextBox() {
}

void CTextBox::AddLine(const CText& text) {
    lines.push_back(Line{text, 0.0f});
    Line& line = lines.back();
    line.text.SetFont(fontName);
    line.text.SetSize(textSize);
    line.text.SetFixedPitch(fixedPitch, advanceFactor);
    line.text.SetWrapWidth((float)(int)width);
    float left, top, right, bottom;
    line.text.GetBounds(left, top, right, bottom);
    line.height = bottom - top;
    if ((int)lines.size() > maxLines) {
        lines.pop_front();
    }
    Layout();
}

void CTextBox::SetScroll(float s) {
    if (!(s >= 0.0f)) {
        s = 0.0f;
    }
    if (s > 1.0f) {
        s = 1.0f;
    }
    scroll = s;
    Layout();
}

bool CTextBox::IsVisible(const Line& line) const {
    float top = line.text.GetY();
    return top + line.height > y && top < y + height;
}

void CTextBox::Layout() {
    float total = 0.0f;
    for (const Line& line : lines) {
        total += line.height;
    }
    float hidden = total - height > 0.0f ? total - height : 0.0f;
    float bottom = (1.0f - scroll) * hidden + height + y;
    for (int i = (int)lines.size() - 1; i >= 0; i--) {
        bottom -= lines[i].height;
        lines[i].text.SetPosition(x, bottom);
    }

    firstVisible = 0;
    lastVisible = -1;
    int i = (int)lines.size() - 1;
    while (i >= 0 && !IsVisible(lines[i])) {
        i--;
    }
    if (i < 0) {
        return;
    }
    lastVisible = i;
    while (i > 0 && IsVisible(lines[i - 1])) {
        i--;
    }
    firstVisible = i;
}

void CTextBox::Draw() {
    if (lines.empty()) {
        return;
    }
    // Lines are not clipped: a partly visible line draws whole.
    ViewportRect saved;
    GetViewport(saved);
    for (int i = firstVisible; i <= lastVisible && i < (int)lines.size(); i++) {
        lines[i].text.Draw();
    }
    SetViewport(saved);
}
