#include "core/sections.h"

#include <limits>

#include "core/strings.h"

bool ReadTextLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

bool FindSection(std::istream& in, const std::string& name) {
    // A previous miss leaves end-of-file set, and seekg fails on a failed stream.
    in.clear();
    in.seekg(0);
    std::string line;
    int index = 0;
    bool found = false;
    while (ReadTextLine(in, line)) {
        if (line == name) {
            found = true;
            break;
        }
        index++;
    }
    in.clear();
    in.seekg(0);
    if (!found) {
        return false;
    }
    // Step over the lines before it rather than seeking to a remembered offset:
    // positions in Windows text-mode streams are not reliable.
    for (int i = 0; i < index; i++) {
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return true;
}

bool FindSection(std::ifstream& in, const std::string& name) {
    if (!in.is_open()) {
        return false;
    }
    return FindSection(static_cast<std::istream&>(in), name);
}

bool ReadSectionCount(std::istream& in, int& count) {
    count = 0;
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    std::string line;
    if (!ReadTextLine(in, line)) {
        return false;
    }
    if (line.size() > 19) {
        in.setstate(std::ios::failbit);
        return false;
    }
    size_t sep = line.find_first_of("\t ");
    if (sep == std::string::npos) {
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        return false;
    }
    int n = TextToInt(line.c_str() + sep + 1);
    if (n < 0) {
        n = 0;
    }
    if (n > MaxSectionCount) {
        n = MaxSectionCount;
    }
    count = n;
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return true;
}
