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

}  // namespace

TEST(Sections, FindAndCountWithWindowsLineEnds) {
    std::istringstream in(Level);
    ASSERT_TRUE(FindSection(in, "Soldiers"));
    int count = -1;
    ASSERT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 2);
    std::string row;
    ASSERT_TRUE(ReadTextLine(in, row));
    EXPECT_EQ(row, "0\t0");

    ASSERT_TRUE(FindSection(in, "Terrain"));
    ASSERT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(ReadTextLine(in, row));
    EXPECT_EQ(row, "hills");
}

TEST(Sections, MissingSectionDoesNotSpoilLaterSearches) {
    std::istringstream in(Level);
    EXPECT_FALSE(FindSection(in, "Vehicles"));
    EXPECT_FALSE(FindSection(in, "soldier"));
    EXPECT_FALSE(FindSection(in, "Soldiers\r"));
    // Case matters: the lower-case line above is not the section.
    ASSERT_TRUE(FindSection(in, "Soldiers"));
    int count = 0;
    EXPECT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 2);
}

TEST(Sections, FileStreams) {
    FILE* f = OpenFile("coreutil_sections.txt", "wb");
    ASSERT_NE(f, nullptr);
    fputs(Level, f);
    fclose(f);
    std::ifstream in;
    ASSERT_TRUE(OpenInputFile(in, "coreutil_sections.txt"));
    EXPECT_FALSE(FindSection(in, "Generic"));
    ASSERT_TRUE(FindSection(in, "Soldiers"));
    int count = 0;
    EXPECT_TRUE(ReadSectionCount(in, count));
    EXPECT_EQ(count, 2);
    in.close();
    remove("coreutil_sections.txt");

    std::ifstream closed;
    EXPECT_FALSE(FindSection(closed, "Soldiers"));
}

TEST(Sections, BadCountLines) {
    int count = 5;
    std::istringstream noSeparator("S\nCount\nHeading\nrow\n");
    EXPECT_FALSE(ReadSectionCount(noSeparator, count));
    EXPECT_EQ(count, 0);

    std::istringstream tooLong("S\nCount\t1234567890123456\nHeading\n");
    EXPECT_FALSE(ReadSectionCount(tooLong, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(tooLong.fail());

    std::istringstream negative("S\nCount\t-5\nHeading\n");
    EXPECT_TRUE(ReadSectionCount(negative, count));
    EXPECT_EQ(count, 0);

    std::istringstream huge("S\nCount\t999999999\nHeading\n");
    EXPECT_TRUE(ReadSectionCount(huge, count));
    EXPECT_EQ(count, MaxSectionCount);

    std::istringstream ended("S\n");
    EXPECT_FALSE(ReadSectionCount(ended, count));
    EXPECT_EQ(count, 0);
}
