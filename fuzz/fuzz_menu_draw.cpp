// Menu file bytes, read and then drawn on the headless back-end: sizes from
// the file become text sizes and rectangles, so a hostile size must draw
// without overflow or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "render/backend.h"
#include "ui/menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool renderer = [] {
        RenderSetup setup;
        return InitRenderer(&setup, nullptr);
    }();
    if (!renderer) {
        __builtin_trap();
    }
    std::istringstream in(std::string((const char*)data, size));
    CMenu menu;
    menu.Read(in);
    menu.Draw();
    return 0;
}
