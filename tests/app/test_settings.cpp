// The settings file: eight little-endian bytes in the per-user folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/settings.h"
#include "core/files.h"

namespace {

const std::string Tag("\x01\x00\x08\x00", 4);

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::remove(NativePath(GetSettingsPath()).c_str());
        SettingsValue = 0;
    }
    void TearDown() override {
        std::remove(NativePath(GetSettingsPath()).c_str());
        std::remove(NativePath(GetSettingsPath() + ".tmp").c_str());
    }
    static int32_t SaveAndLoad(int32_t value) {
        SettingsValue = value;
        SaveSettings();
        SettingsValue = 0;
        LoadSettings();
        return SettingsValue;
    }
};

TEST_F(SettingsTest, SavedValueReadsBackFromEightLittleEndianBytes) {
    std::string path = GetSettingsPath();
    EXPECT_EQ(path.substr(path.size() - 15), "\\settings.stuff");
    EXPECT_EQ(SaveAndLoad(0x01020304), 0x01020304);
    EXPECT_EQ(ReadWholeFile(true, path), Tag + std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(GetFileLength(path + ".tmp"), 0) << "the temporary file was left behind";
    EXPECT_EQ(SaveAndLoad(-7), -7);

    // A folder where the temporary file would go: the save fails and the old
    // file stays whole.
    ASSERT_TRUE(MakeDirectory(path + ".tmp"));
    SettingsValue = 43;
    SaveSettings();
    std::remove(NativePath(path + ".tmp").c_str());
    LoadSettings();
    EXPECT_EQ(SettingsValue, -7);
    ResetSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);
}

// A missing, foreign or short file gives the default; the tag without a whole
// value keeps the value as it was; a longer file is read by its first eight bytes.
TEST_F(SettingsTest, FilesThatAreMissingForeignShortOrLong) {
    const int32_t before = 0x11223344;
    const struct {
        const char* bytes;   // null: no file
        size_t size;
        int32_t value;
    } cases[] = {
        {nullptr, 0, SettingsDefault},
        {"\x02\x00\x08\x00\x09\x00\x00\x00", 8, SettingsDefault},
        {"\x01\x00\x08", 3, SettingsDefault},
        {"", 0, SettingsDefault},
        {"\x01\x00\x08\x00", 4, before},
        {"\x01\x00\x08\x00\xAA\xBB\xCC", 7, before},
        {"\x01\x00\x08\x00\x09\x00\x00\x00\xFF\xFF", 10, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::remove(NativePath(GetSettingsPath()).c_str());
        if (c.bytes) {
            CreateDirectoryPath(GetSettingsPath());
            FILE* f = OpenFile(GetSettingsPath(), "wb");
            ASSERT_NE(f, nullptr);
            fwrite(c.bytes, 1, c.size, f);
            fclose(f);
        }
        SettingsValue = before;
        LoadSettings();
        EXPECT_EQ(SettingsValue, c.value);
    }
}

}  // namespace
