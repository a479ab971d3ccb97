// The overlay's dialogue-line reader on any text: each entry's format and
// arguments come from within its (cut) line.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "ui/game_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    std::istringstream in(text);
    static const char* const keys[] = {"Ammo Rifle", "Pickup Rifle", "Vehicle Buggy Seat0", ""};
    for (const char* key : keys) {
        DialogueEntry entry = ReadDialogueEntry(in, key);
        if (entry.format.size() + entry.arguments.size() > DialogueEntryLength) {
            __builtin_trap();
        }
    }
    return 0;
}
