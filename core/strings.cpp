#include "core/strings.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Paths written in data files may use either separator, or both.
size_t LastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

// Dots in folder names are not extensions.
size_t ExtensionDot(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = LastSeparator(path);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string::npos;
    }
    return dot;
}

}  // namespace

std::string GetDirectoryPart(const std::string& path) {
    size_t slash = LastSeparator(path);
    if (slash == std::string::npos) {
        return std::string();
    }
    return path.substr(0, slash + 1);
}

std::string GetFileBaseName(const std::string& path) {
    size_t slash = LastSeparator(path);
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = ExtensionDot(path);
    if (dot == std::string::npos) {
        return path.substr(start);
    }
    return path.substr(start, dot - start);
}

std::string GetFileExtension(const std::string& path) {
    size_t dot = ExtensionDot(path);
    if (dot == std::string::npos) {
        return std::string();
    }
    return path.substr(dot + 1);
}

std::string StripExtension(const std::string& path) {
    size_t dot = ExtensionDot(path);
    if (dot == std::string::npos) {
        return path;
    }
    return path.substr(0, dot);
}

namespace {

// The name before its first dot, less trailing blanks, is what Windows
// compares with its device names.
bool IsDeviceName(const std::string& name) {
    std::string stem = ToLowerCase(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    static const char* const devices[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    for (const char* device : devices) {
        if (stem == device) {
            return true;
        }
    }
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos || IsDeviceName(name)) {
        return false;
    }
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || !IsPrintableChar(c)) {
            return false;
        }
    }
    return true;
}

bool IsPathBelowFolder(const std::string& path) {
    size_t start = 0;
    while (true) {
        size_t end = path.find_first_of("\\/", start);
        std::string piece = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!piece.empty() && piece != "." && !IsPlainFileName(piece)) {
            return false;
        }
        if (end == std::string::npos) {
            return !path.empty() && path[0] != '\\' && path[0] != '/';
        }
        start = end + 1;
    }
}

std::string ToLowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = (char)(c - 'A' + 'a');
        }
    }
    return out;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); i++) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = (char)(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = (char)(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

void StripFirstToken(std::string& text) {
    for (size_t i = 0; i < text.size(); i++) {
        if ((unsigned char)text[i] < 32) {
            text.erase(0, i + 1);
            return;
        }
    }
}

void SplitString(const std::string& text, std::vector<std::string>& out, const char* delimiters) {
    out.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = text.find_first_not_of(delimiters, pos);
        if (start == std::string::npos) {
            break;
        }
        size_t end = text.find_first_of(delimiters, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        out.push_back(text.substr(start, end - start));
        pos = end;
    }
}

std::string IntToString(int n) {
    return std::to_string(n);
}

std::string FloatToString(float f) {
    // to_chars ignores the locale: the decimal point is always '.'.
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), f,
                                           std::chars_format::general, 10);
    return std::string(buffer, r.ptr);
}

bool IsPrintableChar(char c) {
    unsigned char b = (unsigned char)c;
    return b >= 32 && b != 127;
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned ParseHex(const std::string& text) {
    unsigned value = 0;
    for (size_t i = 2; i < text.size(); i++) {
        char c = text[i];
        value <<= 4;
        if (c >= '0' && c <= '9') {
            value += (unsigned)(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            value += (unsigned)(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            value += (unsigned)(c - 'a' + 10);
        }
    }
    return value;
}

int TextToInt(const char* text) {
    if (!text) {
        return 0;
    }
    long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return (int)v;
}

float TextToFloat(const char* text) {
    if (!text) {
        return 0.0f;
    }
    double v = strtod(text, nullptr);
    if (v > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::infinity();
    }
    if (v < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    return (float)v;
}

std::string WholeNumberText(float f) {
    float rounded = std::floor(f + 0.5f);
    if (!std::isfinite(rounded)) {
        return "0";
    }
    // A float is at most 39 digits long; adding 0.0 turns -0 into 0.
    char text[48];
    std::to_chars_result r = std::to_chars(text, text + sizeof text, (double)rounded + 0.0,
                                           std::chars_format::fixed, 0);
    return std::string(text, r.ptr);
}

int RoundFloatToInt(float f) {
    double v = (double)f + 0.5;
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 2147483648.0) {
        return INT_MAX;
    }
    if (v <= -2147483649.0) {
        return INT_MIN;
    }
    return (int)v;
}
