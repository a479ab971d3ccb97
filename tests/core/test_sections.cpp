#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "core/files.h"
#include "core/sections.h"

namespace {

const char* const Level =
    "Terrain\r\n"
    "Count\t1\r\n"
    "Name\r\n"
    "hills\r\n"
    "soldiers\r\n"
    "Soldiers\r\n"
    "Count 2\r\n"
    "Team\tType\r\n"
    "0\t0\r\n"
    "1\t0\r\n";

// Misses leave the stream usable; lines compare whole, case and all, without
// their CR; every search starts from the top, so an earlier section is found.
template <typename Stream>
void ExpectSearches(Stream& in) {
    for (const char* missing : {"Vehicles", "soldier", "Soldiers\r"}) EXPECT_FALSE(FindSection(in, missing)) << missing;
    int count = -1;
    std::string row;
    ASSERT_TRUE(FindSection(in, "Soldiers"));
    ASSERT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 2);
    ASSERT_TRUE(ReadTextLine(in, row));
    EXPECT_EQ(row, "0\t0");
    ASSERT_TRUE(FindSection(in, "Terrain"));
    ASSERT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(ReadTextLine(in, row));
    EXPECT_EQ(row, "hills");
}

}  // namespace

TEST(Sections, FindAndCountInTextAndFileStreams) {
    std::istringstream text(Level);
    ExpectSearches(text);

    FILE* f = OpenFile("coreutil_sections.txt", "wb");
    ASSERT_NE(f, nullptr);
    fputs(Level, f);
    fclose(f);
    std::ifstream file;
    ASSERT_TRUE(OpenInputFile(file, "coreutil_sections.txt"));
    ExpectSearches(file);
    file.close();
    remove("coreutil_sections.txt");
    std::ifstream closed;
    EXPECT_FALSE(FindSection(closed, "Soldiers"));
}

TEST(Sections, BadCountLines) {
    const struct {
        const char* text;
        bool read;
        int count;
        bool failed;
    } cases[] = {
        {"S\nCount\nHeading\nrow\n", false, 0, false},                 // no separator
        {"S\nCount\t1234567890123456\nHeading\n", false, 0, true},     // over 19 characters
        {"S\nCount\t-5\nHeading\n", true, 0, false},
        {"S\nCount\t999999999\nHeading\n", true, MaxSectionCount, false},
        {"S\n", false, 0, true},                                       // no count line
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        int count = 5;
        EXPECT_EQ(ReadSectionCount(in, count), c.read) << c.text;
        EXPECT_EQ(count, c.count) << c.text;
        EXPECT_EQ(in.fail(), c.failed) << c.text;
    }
}
