#include "game/world/text_fields.h"

#include <charconv>
#include <cmath>

#include "core/sections.h"

std::string TrimBlanks(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

namespace {

// Numbers are read without any locale, so a decimal comma setting cannot
// change a level. A leading '+' is taken as the C library takes it.
template <class T>
bool ParseNumber(const std::string& field, T& out) {
    std::string t = TrimBlanks(field);
    const char* first = t.c_str();
    const char* last = first + t.size();
    if (first != last && *first == '+') {
        first++;
    }
    if (first == last || (*first == '-' && t[0] == '+')) {
        return false;
    }
    T v;
    std::from_chars_result r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last) {
        return false;
    }
    out = v;
    return true;
}

}  // namespace

bool ParseIntField(const std::string& field, int& out) {
    return ParseNumber(field, out);
}

bool ParseFloatField(const std::string& field, float& out) {
    float v;
    if (!ParseNumber(field, v) || !std::isfinite(v)) {
        return false;
    }
    out = v;
    return true;
}

void ReadAllLines(std::istream& in, std::vector<std::string>& lines) {
    std::string line;
    while (ReadTextLine(in, line)) {
        lines.push_back(line);
    }
}
