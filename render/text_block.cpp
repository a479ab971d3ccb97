#include "render/text_block.h"

#include <algorithm>
#include <cstdlib>

#include "core/strings.h"
#include "game/stats.h"
#include "render/backend.h"
#include "render/text.h"

namespace {

const uint32_t DefaultColour = 0xffffffff;
const int DefaultSize = 16;
const char* const DefaultFont = "Ariel";

bool TakesValue(char directive, int occurrence) {
    switch (directive) {
    case 'i':
    case 'u':
    case 't':
        return true;
    case 'c':
    case 's':
    case 'f':
        return occurrence % 2 == 1;  // the first, third, ... occurrence
    default:
        return false;
    }
}

bool IsDirective(char c) {
    return c == 'i' || c == 'u' || c == 't' || c == 'c' || c == 's' || c == 'f';
}

int TextHeight(const std::string& text, float size, const std::string& font) {
    return (int)MeasureTextHeight(text, size, font);
}

// The plain text of a laid-out piece, directives left out.
std::string PlainText(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); i++) {
        if (line[i] == '%') {
            i++;
            continue;
        }
        out += line[i];
    }
    return out;
}

// Colours are packed 32-bit words; opaque ones exceed the int range, so the
// token is read wide and truncated.
uint32_t ParseColour(const std::string& token) {
    return (uint32_t)(uint64_t)std::strtoll(token.c_str(), nullptr, 10);
}

}  // namespace

// Running state of a walk over the format or the laid-out lines: the next
// value of each kind and the toggled colour, size and font.
struct CTextBlock::Cursor {
    size_t image = 0, soldier = 0, integer = 0, colour = 0, size = 0, font = 0;
    int colourCount = 0, sizeCount = 0, fontCount = 0;
    uint32_t currentColour = DefaultColour;
    float currentSize = DefaultSize;
    std::string currentFont = DefaultFont;

    // %c, %s, %f: odd occurrences take the next value, even ones restore the default.
    bool Toggle(char directive, const CTextBlock& b) {
        switch (directive) {
        case 'c':
            Switch(colourCount, currentColour, colour, b.colours, DefaultColour);
            return true;
        case 's':
            Switch(sizeCount, currentSize, size, b.sizes, (float)DefaultSize);
            return true;
        case 'f':
            Switch(fontCount, currentFont, font, b.fontNames, std::string(DefaultFont));
            return true;
        default:
            return false;
        }
    }

    template <class T, class V>
    static void Switch(int& count, T& current, size_t& next, const std::vector<V>& values,
                       const T& fallback) {
        if (++count % 2 == 0) {
            current = fallback;
            return;
        }
        current = next < values.size() ? (T)values[next] : fallback;
        next++;
    }
};

CTextBlock::CTextBlock() : maxWidth(500.0f), layoutCount(0) {}

CTextBlock::~CTextBlock() {}

void CTextBlock::Clear() {
    format.clear();
    imageNames.clear();
    soldierTypes.clear();
    integers.clear();
    colours.clear();
    sizes.clear();
    fontNames.clear();
    lines.clear();
    lineHeights.clear();
    images.clear();
}

void CTextBlock::SetMaxWidth(float w) {
    if (w > 0.0f) {
        maxWidth = w;
    }
}

void CTextBlock::SetFormat(const std::string& newFormat, const std::vector<TextBlockValue>& values) {
    if (newFormat == format) {
        return;
    }
    Clear();
    format = newFormat;

    // Each directive takes the next value written for its own letter, so a
    // value missing for one directive never shifts the others.
    std::vector<size_t> next(128, 0);
    auto take = [&](char directive) -> const TextBlockValue* {
        size_t& at = next[(unsigned char)directive];
        while (at < values.size() && values[at].directive != directive) {
            at++;
        }
        return at < values.size() ? &values[at++] : nullptr;
    };
    int occurrences[128] = {};
    for (size_t i = 0; i + 1 < format.size(); i++) {
        if (format[i] != '%') {
            continue;
        }
        char d = format[++i];
        if (!IsDirective(d) || !TakesValue(d, ++occurrences[(unsigned char)d])) {
            continue;
        }
        const TextBlockValue* v = take(d);
        if (!v) {
            continue;
        }
        switch (d) {
        case 'i': integers.push_back((int)v->number); break;
        case 'u': soldierTypes.push_back((int)v->number); break;
        case 't': imageNames.push_back(v->text); break;
        case 'c': colours.push_back((uint32_t)v->number); break;
        case 's': sizes.push_back((int)v->number); break;
        case 'f': fontNames.push_back(v->text); break;
        }
    }
    Layout();
}

void CTextBlock::SetFormatFromString(CTextBlock& block, const std::string& format,
                                     const std::string& arguments) {
    std::vector<std::string> tokens;
    SplitString(arguments, tokens, " ");
    std::vector<TextBlockValue> values;
    size_t token = 0;
    int occurrences[128] = {};
    for (size_t i = 0; i + 1 < format.size() && token < tokens.size(); i++) {
        if (format[i] != '%') {
            continue;
        }
        char d = format[++i];
        if (d == 'u' || !IsDirective(d) || !TakesValue(d, ++occurrences[(unsigned char)d])) {
            continue;
        }
        const std::string& t = tokens[token++];
        if (d == 'f' || d == 't') {
            values.push_back(TextBlockValue::Text(d, t));
        } else if (d == 'c') {
            values.push_back(TextBlockValue::Number(d, ParseColour(t)));
        } else {
            values.push_back(TextBlockValue::Number(d, TextToInt(t)));
        }
    }
    block.SetFormat(format, values);
}

const CTexture* CTextBlock::Image(size_t index) const {
    if (index >= images.size() || images[index].IsEmpty()) {
        return nullptr;
    }
    return &images[index];
}

// The text of %i or %u, empty without a value or for an unknown soldier type.
std::string CTextBlock::InsertedText(char directive, Cursor& cursor) const {
    if (directive == 'i') {
        size_t at = cursor.integer++;
        return at < integers.size() ? IntToString(integers[at]) : std::string();
    }
    size_t at = cursor.soldier++;
    if (at >= soldierTypes.size() || !IsSoldierType(soldierTypes[at])) {
        return std::string();
    }
    return GetSoldierType(soldierTypes[at]).name;
}

void CTextBlock::Layout() {
    layoutCount++;
    lines.clear();
    lineHeights.clear();
    images.assign(imageNames.size(), CTexture());
    for (size_t i = 0; i < imageNames.size(); i++) {
        LoadTextureClamped(images[i], imageNames[i]);
    }

    Cursor cursor;
    std::string line;
    float width = 0.0f;
    int lineHeight = 0;
    size_t lastSpace = std::string::npos;   // position in line
    int spaceHeight = 0;

    auto finish = [&](const std::string& text, int height) {
        lines.push_back(text);
        lineHeights.push_back(height);
    };
    // An inserted item (text or image) of the given size: it goes on this line,
    // or starts the next when it would overflow a line that shows something
    // (a line of toggles alone is never left behind on its own).
    auto insert = [&](const std::string& directive, float w, int h) {
        if (width + w > maxWidth && width > 0.0f) {
            finish(line, std::max(lineHeight, spaceHeight));
            line = directive;
            width = w;
            lineHeight = h;
            lastSpace = std::string::npos;
            spaceHeight = 0;
            return;
        }
        line += directive;
        width += w;
        lineHeight = std::max(lineHeight, h);
    };

    for (size_t i = 0; i < format.size(); i++) {
        char c = format[i];
        if (c == '%') {
            if (i + 1 >= format.size()) {
                break;   // a trailing '%' has no letter
            }
            char d = format[++i];
            std::string directive = std::string("%") + d;
            if (cursor.Toggle(d, *this)) {
                line += directive;
            } else if (d == 'i' || d == 'u') {
                std::string text = InsertedText(d, cursor);
                float w = MeasureTextWidth(text, cursor.currentSize, cursor.currentFont);
                insert(directive, w, TextHeight(text, cursor.currentSize, cursor.currentFont));
            } else if (d == 't') {
                const CTexture* image = Image(cursor.image++);
                insert(directive, image ? (float)image->GetWidth() : 0.0f,
                       image ? image->GetHeight() : 0);
            }
            continue;
        }
        if ((unsigned char)c < 32) {
            continue;   // control bytes draw nothing and would break the drawn piece
        }
        std::string one(1, c);
        if (width < 1.0f) {
            lineHeight = TextHeight(one, cursor.currentSize, cursor.currentFont);
        }
        line += c;
        width += MeasureTextWidth(one, cursor.currentSize, cursor.currentFont);
        if (c == ' ') {
            lastSpace = line.size() - 1;
            spaceHeight = TextHeight(one, cursor.currentSize, cursor.currentFont);
        }
        if (width <= maxWidth || lastSpace == std::string::npos) {
            continue;   // a line without a space is never cut
        }
        int height = std::max(lineHeight, spaceHeight);
        if (lastSpace == line.size() - 1) {
            finish(line, height);
            line.clear();
            width = 0.0f;
            lineHeight = 0;
        } else {
            std::string moved = line.substr(lastSpace + 1);
            finish(line.substr(0, lastSpace + 1), height);
            line = moved;
            std::string plain = PlainText(moved);
            width = MeasureTextWidth(plain, cursor.currentSize, cursor.currentFont);
            lineHeight = TextHeight(plain, cursor.currentSize, cursor.currentFont);
        }
        lastSpace = std::string::npos;
        spaceHeight = 0;
    }
    // A trailing empty line is dropped, so there is one height per line.
    if (!line.empty()) {
        finish(line, std::max(lineHeight, spaceHeight));
    }
}

void CTextBlock::Draw(float x, float y) {
    Cursor cursor;
    float centre = y;
    for (size_t n = 0; n < lines.size(); n++) {
        if (n > 0) {
            centre += (float)(lineHeights[n - 1] / 2 + lineHeights[n] / 2);
        }
        const std::string& line = lines[n];
        float at = x;
        std::string piece;
        auto flush = [&]() {
            if (piece.empty()) {
                return;
            }
            float w = MeasureTextWidth(piece, cursor.currentSize, cursor.currentFont);
            float h = MeasureTextHeight(piece, cursor.currentSize, cursor.currentFont);
            DrawString(piece, at, centre - h / 2.0f, cursor.currentColour, cursor.currentSize,
                       cursor.currentFont);
            at += w;
            piece.clear();
        };
        for (size_t i = 0; i < line.size(); i++) {
            if (line[i] != '%' || i + 1 >= line.size()) {
                piece += line[i];
                continue;
            }
            flush();
            char d = line[++i];
            if (cursor.Toggle(d, *this)) {
                continue;
            }
            if (d == 'i' || d == 'u') {
                piece = InsertedText(d, cursor);
                flush();
            } else if (d == 't') {
                const CTexture* image = Image(cursor.image++);
                if (image) {
                    int w = image->GetWidth();
                    DrawSprite(*image, at + (float)(w / 2), centre, 0.0f, 1.0f, 1.0f);
                    at += (float)w;
                }
            }
        }
        flush();
    }
}
