// CText content and attributes. Layout and drawing are in text_layout.cpp.
#include "render/text.h"

#include "render/font.h"

CText::CText() : vertexBuffer() {
    Reset();
}

CText::CText(const char* text) : value(text) {
    Reset();
}

CText::CText(const std::string& text) : value(text) {
    Reset();
}

CText::CText(int number) : value(number) {
    Reset();
}

CText::CText(float number) : value(number) {
    Reset();
}

CText::CText(double number) : value(number) {
    Reset();
}

CText::CText(const CValue& other) : value(other) {
    Reset();
}

CText::CText(const CText& other) : value(other.value), vertexBuffer() {
    Reset();
    CopyAttributes(other);
}

CText::~CText() {
}

void CText::Reset() {
    advanceFactor = 0.5f;
    x = 0.0f;
    y = 0.0f;
    wrapWidth = 0.0f;
    font.reset();
    fontName.clear();
    size = 16.0f;
    fixedPitch = 0;
    dirty = 1;
    vertexBuffer.DropRecord();
    capacity = 0;
    vertexCount = 0;
    cachedText.clear();
    cacheValid = false;
    cachedFont = nullptr;
    fontGeneration = GetFontCacheGeneration();
}

void CText::KeepFirstRunOnly() {
    if (!runs.empty() && runs[0].position == 0) {
        runs.resize(1);
    } else {
        runs.clear();
    }
    InvalidateCache();
}

CText& CText::operator=(const std::string& text) {
    value = text;
    KeepFirstRunOnly();
    return *this;
}

CText& CText::operator=(const char* text) {
    value = text;
    KeepFirstRunOnly();
    return *this;
}

CText& CText::operator=(int number) {
    value = number;
    KeepFirstRunOnly();
    return *this;
}

CText& CText::operator=(float number) {
    value = number;
    KeepFirstRunOnly();
    return *this;
}

CText& CText::operator=(const CText& other) {
    if (this != &other) {
        AssignValue(other);
        CopyAttributes(other);
    }
    return *this;
}

void CText::AssignValue(const CText& other) {
    value = other.value;
    InvalidateCache();
}

void CText::CopyAttributes(const CText& other) {
    font = other.font;
    fontGeneration = other.fontGeneration;
    advanceFactor = other.advanceFactor;
    x = other.x;
    y = other.y;
    wrapWidth = other.wrapWidth;
    dirty = other.dirty;
    fontName = other.fontName;
    size = other.size;
    fixedPitch = other.fixedPitch;
    if (!other.runs.empty()) {
        if (&other != this) {
            runs = other.runs;
        }
    } else {
        KeepFirstRunOnly();
    }
    InvalidateCache();
}

void CText::Clear() {
    value = CValue();
    runs.clear();
    InvalidateCache();
}

void CText::AddColour(uint32_t colour) {
    const std::string& text = value.AsString();
    if (text.empty()) {
        runs.clear();
    }
    int position = (int)text.size();
    if (!runs.empty() && runs.back().position == position) {
        runs.back().colour = colour;
    } else {
        runs.push_back(ColourRun{position, colour});
    }
    InvalidateCache();
}

CText& CText::operator+=(const CText& other) {
    // Copies first: other may be this text.
    std::vector<ColourRun> appended = other.runs;
    CValue otherValue = other.value;
    int oldLength = (int)value.AsString().size();
    value += otherValue;
    for (ColourRun& run : appended) {
        run.position += oldLength;
    }
    // Two runs at one position: the appended text's own colour wins.
    if (!appended.empty() && !runs.empty() && runs.back().position == appended[0].position) {
        runs.pop_back();
    }
    runs.insert(runs.end(), appended.begin(), appended.end());
    InvalidateCache();
    return *this;
}

CText CText::operator+(const CText& other) const {
    CText sum(*this);
    sum += other;
    return sum;
}

void CText::SetFont(const std::string& name) {
    fontName = name;
    dirty = 1;
    InvalidateCache();
}

void CText::SetSize(float newSize) {
    size = newSize;
    dirty = 1;
    InvalidateCache();
}

void CText::SetFixedPitch(bool fixed, float factor) {
    fixedPitch = fixed ? 1 : 0;
    advanceFactor = factor;
    dirty = 1;
    InvalidateCache();
}

void CText::SetWrapWidth(float width) {
    if (width != wrapWidth) {
        wrapWidth = width;
        InvalidateCache();
    }
}

void CText::SetPosition(float newX, float newY) {
    if (newX != x || newY != y) {
        x = newX;
        y = newY;
        InvalidateCache();
    }
}

void CText::UpdateFont() {
    // A font cache emptied at shutdown leaves no font to point at.
    if (fontGeneration != GetFontCacheGeneration()) {
        fontGeneration = GetFontCacheGeneration();
        font.reset();
        cachedFont = nullptr;
        dirty = 1;
    }
    if (dirty) {
        dirty = 0;
        font = GetFont(fontName, size, fixedPitch != 0);
    }
}
