// Coloured text: a value (text or number) with a position, size, font, an
// optional wrap width and colour runs. It lays itself out into lines, builds
// a cached vertex buffer of one textured quad per glyph and draws it with the
// "gbfont" program.
#ifndef RENDER_TEXT_H
#define RENDER_TEXT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/value.h"
#include "render/resources.h"

class CFont;
class CShaderProgram;

// Colours are packed: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
const uint32_t TEXT_DEFAULT_COLOUR = 0xffdddddd;

// A run starts its colour at a character position.
struct ColourRun {
    int position;
    uint32_t colour;
};

// One glyph corner of the vertex cache (20 bytes).
struct TextVertex {
    float x, y;
    uint32_t colour;
    float u, v;
};

// Marks a colour change inside a laid-out line: this byte, then alpha, red,
// green and blue. Takes no space on screen.
const char TEXT_COLOUR_CODE = 0x01;

class CText {
public:
    CText();
    CText(const char* text);
    CText(const std::string& text);
    CText(int number);
    CText(float number);
    CText(double number);
    CText(const CValue& value);
    // Copies value, attributes and runs; never shares the vertex buffer.
    CText(const CText& other);
    ~CText();

    void Reset();

    // New content; a run at position 0 is kept, any other runs are dropped.
    CText& operator=(const std::string& text);
    CText& operator=(const char* text);
    CText& operator=(int number);
    CText& operator=(float number);
    CText& operator=(const CText& other);   // value, then attributes
    void AssignValue(const CText& other);
    void CopyAttributes(const CText& other);
    void Clear();
    void AddColour(uint32_t colour);
    CText& operator+=(const CText& other);
    CText operator+(const CText& other) const;

    void SetFont(const std::string& name);
    void SetSize(float size);
    void SetFixedPitch(bool fixed, float factor);
    void SetWrapWidth(float width);
    void SetPosition(float x, float y);

    void UpdateFont();
    // Lays out one line from offset; true when more lines follow. With
    // colours, the line carries the colour codes of the runs it crosses.
    bool NextLine(int& offset, std::string& line, float& width, bool withColours);
    void GetBounds(float& left, float& top, float& right, float& bottom);
    void BuildVertices();
    void Draw();

    const CValue& GetValue() const { return value; }
    const std::string& GetString() const { return value.AsString(); }
    const std::vector<ColourRun>& GetColourRuns() const { return runs; }
    float GetX() const { return x; }
    float GetY() const { return y; }
    float GetSize() const { return size; }
    float GetWrapWidth() const { return wrapWidth; }
    float GetAdvanceFactor() const { return advanceFactor; }
    bool IsFixedPitch() const { return fixedPitch != 0; }
    const std::string& GetFontName() const { return fontName; }
    // Valid while this text keeps the font.
    CFont* GetCurrentFont() { UpdateFont(); return font.get(); }
    // The glyph cache, for the tests.
    const CVertexBuffer& GetVertexBuffer() const { return vertexBuffer; }
    int GetVertexCount() const { return vertexCount; }

private:
    void InvalidateCache() { cacheValid = false; cachedText.clear(); }
    void KeepFirstRunOnly();
    float Advance(uint8_t code) const;

    CValue value;
    float advanceFactor;
    float x, y;
    float wrapWidth;
    std::shared_ptr<CFont> font;   // held, so the cache may let it go meanwhile
    std::string fontName;
    float size;
    uint8_t fixedPitch;
    uint8_t dirty;
    CVertexBuffer vertexBuffer;
    int capacity;
    int vertexCount;
    std::string cachedText;
    std::vector<ColourRun> runs;

    // Every change of runs or layout clears this, so the next draw rebuilds.
    bool cacheValid;
    const CFont* cachedFont;   // the font the glyphs were built with (compared only)
    int fontGeneration;
};

// The font program, made on the first draw; ReleaseFontShader frees it at shutdown.
extern CShaderProgram* FontShader;
void ReleaseFontShader();

// One-off text through a shared scratch text.
void DrawString(const std::string& text, float x, float y, uint32_t colour, float size,
                const std::string& fontName);
float MeasureTextWidth(const std::string& text, float size, const std::string& fontName);
float MeasureTextHeight(const std::string& text, float size, const std::string& fontName);

// The measuring text and the spare texture (for images inside text blocks).
void CreateTextGlobals();
void DestroyTextGlobals();
CTexture* GetSpareTexture();
// Made on first use; released by the renderer's shutdown callbacks.
CText* GetScratchText();

#endif
