#include "app/settings.h"

#include <cstdio>

#include "app/user_folder.h"
#include "core/files.h"

int32_t SettingsValue = 0;

namespace {

uint32_t ReadLittleEndian(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

void WriteLittleEndian(uint32_t v, uint8_t* p) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

}  // namespace

std::string GetSettingsPath() {
    return GetUserDataFolder("Korrins") + "\\settings.stuff";
}

void ReadSettingsBytes(const uint8_t* bytes, size_t size, int32_t& value) {
    if (size < 4 || ReadLittleEndian(bytes) != SettingsTag) {
        value = SettingsDefault;
        return;
    }
    if (size >= SettingsFileBytes) {
        value = (int32_t)ReadLittleEndian(bytes + 4);
    }
}

void WriteSettingsBytes(int32_t value, uint8_t out[SettingsFileBytes]) {
    WriteLittleEndian(SettingsTag, out);
    WriteLittleEndian((uint32_t)value, out + 4);
}

void LoadSettings() {
    FILE* f = OpenFile(GetSettingsPath(), "rb");
    if (!f) {
        SettingsValue = SettingsDefault;
        return;
    }
    uint8_t bytes[SettingsFileBytes];
    size_t n = fread(bytes, 1, sizeof(bytes), f);
    fclose(f);
    ReadSettingsBytes(bytes, n, SettingsValue);
}

void SaveSettings() {
    std::string path = GetSettingsPath();
    CreateDirectoryPath(path);
    std::string temp = path + ".tmp";
    FILE* f = OpenFile(temp, "wb");
    if (!f) {
        return;
    }
    uint8_t bytes[SettingsFileBytes];
    WriteSettingsBytes(SettingsValue, bytes);
    bool written = fwrite(bytes, 1, sizeof(bytes), f) == sizeof(bytes);
    written = fclose(f) == 0 && written;
    if (!written || !ReplaceFileWith(temp, path)) {
        std::remove(NativePath(temp).c_str());
    }
}

void ResetSettings() {
    SettingsValue = SettingsDefault;
}
