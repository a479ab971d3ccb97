// Slice lists of volume textures: the input is the list file, read beside a
// folder holding a 2x2 and a 4x4 BMP and a PNG header. Any list loads into a
// texture of its slices or leaves the handle empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/backend.h"
#include "render/resources.h"

namespace {

// A 32-bit bottom-up BMP of w x h grey pixels.
void WriteBmp(const std::string& path, int w, int h) {
    std::vector<uint8_t> b(54, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1;
    b[28] = 32;
    b.resize(54 + size_t(w) * size_t(h) * 4, 0x80);
    std::ofstream(path, std::ios::binary).write((const char*)b.data(), (std::streamsize)b.size());
}

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
}

std::string MakeFolder() {
    char pattern[] = "/tmp/vexmoor-fuzz-volume-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder)
        __builtin_trap();
    std::string f = folder;
    Folder() = f;
    std::atexit(RemoveFolder);
    WriteBmp(f + "/a.bmp", 2, 2);
    WriteBmp(f + "/b.bmp", 2, 2);
    WriteBmp(f + "/big.bmp", 4, 4);
    static const uint8_t png[24] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                    0, 0, 0, 2, 0, 0, 0, 2};
    std::ofstream(f + "/p.png", std::ios::binary).write((const char*)png, sizeof(png));
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool renderer = [] {
        RenderSetup setup;
        return InitRenderer(&setup, nullptr);
    }();
    static const std::string folder = MakeFolder();
    std::string list((const char*)data, size);
    // Names stay inside the folder: the game's own lists name their slices
    // beside them, and a path out of it could name an endless device file.
    if (!renderer || list.find("..") != std::string::npos || list.find('/') != std::string::npos ||
        list.find(':') != std::string::npos)
        return 0;
    for (size_t at = 0; (at = list.find('\\', at)) != std::string::npos; at++) {
        if (at == 0 || list[at - 1] == '\n')
            return 0;
    }
    std::ofstream(folder + "/list.t3d", std::ios::binary).write(list.data(), (std::streamsize)list.size());
    CTexture texture;
    if (LoadVolumeTexture(texture, folder + "\\list.t3d")) {
        if (texture.IsEmpty() || texture.GetWidth() <= 0)
            __builtin_trap();
    } else if (!texture.IsEmpty()) {
        __builtin_trap();
    }
    return 0;
}
