// The settings file's bytes: any content gives the old value, the default or
// the stored value, and a written value reads back unchanged.
#include <cstddef>
#include <cstdint>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t before = 12345;
    int32_t value = before;
    ReadSettingsBytes(data, size, value);
    if (value != before && value != SettingsDefault && size < SettingsFileBytes) {
        __builtin_trap();
    }
    uint8_t bytes[SettingsFileBytes];
    WriteSettingsBytes(value, bytes);
    int32_t again = 0;
    ReadSettingsBytes(bytes, sizeof(bytes), again);
    if (again != value) {
        __builtin_trap();
    }
    return 0;
}
