// Files the Windows test programs write for themselves: PNG images (stored
// deflate blocks, so no image comes from the decoder under test), texts, and
// copies of shipped models.
#ifndef TESTS_WIN32_TEST_FILES_H
#define TESTS_WIN32_TEST_FILES_H

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/mesh_cache.h"

inline uint32_t Crc(const uint8_t* p, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(uint8_t(v >> s));
}

inline void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// rgba: w x h words 0xAARRGGBB, top row first.
inline bool WritePng(const std::string& path, int w, int h, const std::vector<uint32_t>& rgba) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; y++) {
        raw.push_back(0);
        for (int x = 0; x < w; x++) {
            uint32_t p = rgba[size_t(y) * w + x];
            raw.push_back(uint8_t(p >> 16));
            raw.push_back(uint8_t(p >> 8));
            raw.push_back(uint8_t(p));
            raw.push_back(uint8_t(p >> 24));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size(); at += 65535) {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, uint32_t(w));
    Put32(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    fwrite(png.data(), 1, png.size(), f);
    fclose(f);
    return true;
}

inline void WriteText(const std::string& path, const char* text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fputs(text, f);
        fclose(f);
    }
}

// Shipped models copied with the images beside them into a folder of the
// test's own in the working folder ("<test>\\", never below data\\, which is
// the installation's), so their mesh caches are the test's own too; Remove
// takes the copies, their caches and the emptied folders away.
struct ModelCopies {
    explicit ModelCopies(const std::string& folder) : folder(folder) {}
    std::string folder;
    std::vector<std::string> files, models;

    // The copy's path (added to models), or "" when a file did not copy.
    std::string Copy(const std::string& path) {
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string from = path.substr(0, path.rfind('\\') + 1), name = path.substr(from.size());
        std::vector<std::string> names{name};
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((from + "*.png").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do
                names.push_back(found.cFileName);
            while (FindNextFileA(find, &found));
            FindClose(find);
        }
        bool copied = true;
        for (const std::string& n : names) {
            copied = CopyFileA((from + n).c_str(), (folder + n).c_str(), FALSE) && copied;
            files.push_back(folder + n);
        }
        if (!copied)
            return "";
        models.push_back(folder + name);
        return models.back();
    }

    void Remove() {
        for (const std::string& m : models)
            DeleteFileA(MeshCachePath(m).c_str());
        RemoveDirectoryA(("gen\\" + folder).c_str());
        RemoveDirectoryA("gen");
        for (const std::string& f : files)
            DeleteFileA(f.c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

#endif
