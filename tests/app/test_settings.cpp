// The settings file: eight little-endian bytes in the per-user folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/settings.h"
#include "core/files.h"

namespace {

void WriteRaw(const std::string& bytes) {
    CreateDirectoryPath(GetSettingsPath());
    FILE* f = OpenFile(GetSettingsPath(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

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
};

TEST_F(SettingsTest, PathIsTheFileInThePerUserFolder) {
    std::string path = GetSettingsPath();
    EXPECT_EQ(path.substr(path.size() - 15), "\\settings.stuff");
}

TEST_F(SettingsTest, SavedValueReadsBackFromEightLittleEndianBytes) {
    SettingsValue = 0x01020304;
    SaveSettings();
    EXPECT_EQ(ReadWholeFile(true, GetSettingsPath()), Tag + std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(GetFileLength(GetSettingsPath() + ".tmp"), 0) << "the temporary file was left behind";

    SettingsValue = 0;
    LoadSettings();
    EXPECT_EQ(SettingsValue, 0x01020304);

    SettingsValue = -7;
    SaveSettings();
    SettingsValue = 0;
    LoadSettings();
    EXPECT_EQ(SettingsValue, -7);
}

TEST_F(SettingsTest, MissingForeignOrShortFilesGiveTheDefault) {
    SettingsValue = 5;
    LoadSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);

    SettingsValue = 5;
    WriteRaw(std::string("\x02\x00\x08\x00\x09\x00\x00\x00", 8));
    LoadSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);

    SettingsValue = 5;
    WriteRaw(std::string("\x01\x00\x08", 3));
    LoadSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);

    SettingsValue = 5;
    WriteRaw("");
    LoadSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);
}

// The tag without a whole value keeps the value as it was, untouched by the
// bytes that are there.
TEST_F(SettingsTest, TagWithoutAWholeValueKeepsTheOldValue) {
    WriteRaw(Tag);
    LoadSettings();
    EXPECT_EQ(SettingsValue, 0);

    SettingsValue = 0x11223344;
    WriteRaw(Tag + std::string("\xAA\xBB\xCC", 3));
    LoadSettings();
    EXPECT_EQ(SettingsValue, 0x11223344);

    WriteRaw(Tag + std::string("\x09\x00\x00\x00\xFF\xFF", 6));   // longer files: the first eight bytes
    LoadSettings();
    EXPECT_EQ(SettingsValue, 9);
}

TEST_F(SettingsTest, FailedSaveLeavesTheOldFileWhole) {
    SettingsValue = 42;
    SaveSettings();
    // A folder where the temporary file would go: it cannot be written.
    ASSERT_TRUE(MakeDirectory(GetSettingsPath() + ".tmp"));
    SettingsValue = 43;
    SaveSettings();
    std::remove(NativePath(GetSettingsPath() + ".tmp").c_str());
    SettingsValue = 0;
    LoadSettings();
    EXPECT_EQ(SettingsValue, 42);
}

TEST_F(SettingsTest, ResetGivesTheDefault) {
    SettingsValue = 9;
    ResetSettings();
    EXPECT_EQ(SettingsValue, SettingsDefault);
}

}  // namespace
