// A scrolling list of text lines inside a rectangle: lines are added at the
// bottom, the oldest dropped beyond a maximum count, each wrapped to the box
// width and measured; scroll 0..1 picks which part of a taller history shows.
#ifndef RENDER_TEXTBOX_H
#define RENDER_TEXTBOX_H

#include <deque>
#include <string>

#include "render/text.h"

class CTextBox {
public:
    CTextBox(const std::string& fontName, float x, float y, float height, float width,
             int maxLines, float textSize, bool fixedPitch, float advanceFactor);
    ~CTextBox();

    void AddLine(const CText& text);
    void SetScroll(float s);
    float GetScroll() const { return scroll; }
    void Layout();
    void Draw();

    int GetLineCount() const { return (int)lines.size(); }
    const CText& GetLine(int index) const { return lines[index].text; }
    float GetLineHeight(int index) const { return lines[index].height; }
    // The lines drawn; an empty range (last below first) when none is visible.
    int GetFirstVisible() const { return firstVisible; }
    int GetLastVisible() const { return lastVisible; }

private:
    struct Line {
        CText text;
        float height;
    };

    bool IsVisible(const Line& line) const;

    std::deque<Line> lines;   // oldest first
    int maxLines;
    float x, y;
    float height;
    float width;
    float textSize;
    std::string fontName;
    bool fixedPitch;
    float advanceFactor;
    float scroll;
    int firstVisible;
    int lastVisible;
};

#endif
