// The section readers as the level loader uses them: find each section, read
// its count, then read rows until the count or the end of the stream.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/sections.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    std::istringstream in(text);
    static const char* const names[] = {"Terrain", "Soldiers", "Vehicles", "Generic", "Dropped Items"};
    for (const char* name : names) {
        if (!FindSection(in, name)) {
            continue;
        }
        int count = -1;
        ReadSectionCount(in, count);
        if (count < 0 || count > MaxSectionCount) {
            __builtin_trap();
        }
        std::string line;
        for (int i = 0; i < count && ReadTextLine(in, line); i++) {
        }
    }
    return 0;
}
