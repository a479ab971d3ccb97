#include "core/files.h"

std::string NativePath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string p = path;
    for (char& c : p) {
        if (c == '\\') {
            c = '/';
        }
    }
    return p;
#endif
}

FILE* OpenFile(const std::string& path, const char* mode) {
    return fopen(NativePath(path).c_str(), mode);
}

bool OpenInputFile(std::ifstream& in, const std::string& path, bool binary) {
    std::ios::openmode mode = std::ios::in;
    if (binary) {
        mode |= std::ios::binary;
    }
    in.open(NativePath(path).c_str(), mode);
    return in.is_open();
}

bool OpenOutputFile(std::ofstream& out, const std::string& path, bool binary, bool append) {
    std::ios::openmode mode = std::ios::out;
    mode |= append ? std::ios::app : std::ios::trunc;
    if (binary) {
        mode |= std::ios::binary;
    }
    out.open(NativePath(path).c_str(), mode);
    return out.is_open();
}

std::string ReadWholeFile(bool binary, const std::string& path) {
    std::string result;
    FILE* f = OpenFile(path, binary ? "rb" : "rt");
    if (!f) {
        return result;
    }
    // Exactly the bytes read are kept, zero bytes included.
    char piece[2048];
    size_t n;
    while ((n = fread(piece, 1, sizeof(piece), f)) > 0) {
        result.append(piece, n);
    }
    fclose(f);
#ifndef _WIN32
    // Text mode on Windows turns CR LF into LF; do the same here.
    if (!binary) {
        std::string text;
        text.reserve(result.size());
        for (size_t i = 0; i < result.size(); i++) {
            if (result[i] == '\r' && i + 1 < result.size() && result[i + 1] == '\n') {
                continue;
            }
            text += result[i];
        }
        result.swap(text);
    }
#endif
    return result;
}

bool ReadLineList(const std::string& path, std::vector<std::string>& out) {
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            break;
        }
        out.push_back(line);
    }
    return true;
}

void CreateDirectoryPath(const std::string& path) {
    // Any length is accepted: settings live under the user's documents folder,
    // whose path may be long.
    for (size_t i = 0; i < path.size(); i++) {
        if ((path[i] == '\\' || path[i] == '/') && i > 0) {
            MakeDirectory(path.substr(0, i));
        }
    }
}

long GetFileLength(const std::string& path) {
    FILE* f = OpenFile(path, "rb");
    if (!f) {
        return 0;
    }
    long length = 0;
    if (fseek(f, 0, SEEK_END) == 0) {
        length = ftell(f);
        if (length < 0) {
            length = 0;
        }
    }
    fclose(f);
    return length;
}
