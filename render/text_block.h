// Formatted text blocks: a format string whose directives insert numbers,
// soldier-type names and images and switch colour, size and font, wrapped
// into lines no wider than a maximum width. Laid out once per format, drawn
// piece by piece with DrawString and a textured quad per image.
//
// Directives: %i integer, %u soldier-type name, %t image, and the toggles %c
// (colour), %s (size), %f (font), which take a value on odd occurrences and
// restore the default (white, 16, "Ariel") on even ones. Any other letter is
// skipped with its '%'. Values are matched to directives by letter, in order;
// a directive without a value shows nothing (or keeps the default).
#ifndef RENDER_TEXT_BLOCK_H
#define RENDER_TEXT_BLOCK_H

#include <cstdint>
#include <string>
#include <vector>

#include "render/resources.h"

// A typed value for SetFormat: the directive letter it belongs to, and its
// number (%i, %u, %c, %s) or text (%t, %f).
struct TextBlockValue {
    char directive;
    int64_t number;
    std::string text;

    static TextBlockValue Number(char d, int64_t n) { return TextBlockValue{d, n, std::string()}; }
    static TextBlockValue Text(char d, const std::string& t) { return TextBlockValue{d, 0, t}; }
};

class CTextBlock {
public:
    CTextBlock();
    ~CTextBlock();

    void Clear();
    void SetMaxWidth(float w);  // kept only when w > 0
    // Does nothing when the format equals the stored one, even with new values:
    // a block reused for a new value must be cleared first.
    void SetFormat(const std::string& format, const std::vector<TextBlockValue>& values);
    // Splits the arguments at blanks; %c, %i, %s take a decimal token, %f and
    // %t a text token, %u none.
    static void SetFormatFromString(CTextBlock& block, const std::string& format,
                                    const std::string& arguments);
    void Layout();
    void Draw(float x, float y);

    const std::string& GetFormat() const { return format; }
    float GetMaxWidth() const { return maxWidth; }
    const std::vector<std::string>& GetLines() const { return lines; }
    const std::vector<int>& GetLineHeights() const { return lineHeights; }
    const std::vector<std::string>& GetImageNames() const { return imageNames; }
    const std::vector<int>& GetSoldierTypes() const { return soldierTypes; }
    const std::vector<int>& GetIntegers() const { return integers; }
    const std::vector<uint32_t>& GetColours() const { return colours; }
    const std::vector<int>& GetSizes() const { return sizes; }
    const std::vector<std::string>& GetFontNames() const { return fontNames; }
    int GetLayoutCount() const { return layoutCount; }

private:
    struct Cursor;
    const CTexture* Image(size_t index) const;
    std::string InsertedText(char directive, Cursor& cursor) const;

    std::string format;
    std::vector<std::string> imageNames;
    std::vector<int> soldierTypes;
    std::vector<int> integers;
    std::vector<uint32_t> colours;
    std::vector<int> sizes;
    std::vector<std::string> fontNames;
    std::vector<std::string> lines;   // directives kept in them as %x
    std::vector<int> lineHeights;     // one per line
    float maxWidth;
    // One texture per image name, loaded at layout and kept, so drawing never
    // decodes from disk; an image that fails to load stays empty.
    std::vector<CTexture> images;
    int layoutCount;
};

#endif
