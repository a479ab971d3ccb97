// The settings file "settings.stuff" in the per-user folder "Korrins": eight
// bytes, little-endian, a tag and one value. Nothing else in the game reads
// the value; it is kept and written back unchanged.
#ifndef APP_SETTINGS_H
#define APP_SETTINGS_H

#include <cstddef>
#include <cstdint>
#include <string>

extern int32_t SettingsValue;   // 0 until loaded, 2 when no valid file was found

const uint32_t SettingsTag = 0x00080001;
const int32_t SettingsDefault = 2;
const size_t SettingsFileBytes = 8;

std::string GetSettingsPath();
void LoadSettings();
// Writes a temporary file next to the settings and moves it over them, so a
// failed write leaves the old file whole. Failures are silent.
void SaveSettings();
void ResetSettings();

// The file's bytes to the value: a wrong tag or fewer than four bytes give
// the default; the tag without a whole value leaves the value as it was.
void ReadSettingsBytes(const uint8_t* bytes, size_t size, int32_t& value);
void WriteSettingsBytes(int32_t value, uint8_t out[SettingsFileBytes]);

#endif
