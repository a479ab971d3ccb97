// Menu file bytes: any content reads into a consistent menu (each button
// under its own id, non-empty names no longer than a line), and the hit test
// never returns a hidden button.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "ui/menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string((const char*)data, size));
    CMenu menu;
    menu.Read(in);
    if ((size_t)menu.GetButtonCount() != menu.GetButtons().size()) {
        __builtin_trap();
    }
    for (const auto& entry : menu.GetButtons()) {
        const CMenuButton* b = entry.second;
        if (!b || b->id != entry.first || b->name.empty() || b->name.size() > MENU_MAX_LINE ||
            b->width > 0x7fffffffu || b->height > 0x7fffffffu) {
            __builtin_trap();
        }
    }
    menu.SetAllHidden(true);
    if (menu.GetButtonUnderCursor() != 0) {
        __builtin_trap();
    }
    return 0;
}
