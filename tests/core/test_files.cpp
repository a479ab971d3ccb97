#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

#include "core/files.h"

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = OpenFile(path, "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(Files, BackslashPathsOpen) {
    EXPECT_EQ(NativePath("data\\stats\\x.txt"), "data/stats/x.txt");
    FILE* f = OpenFile("data\\stats\\soldiers.txt", "rb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    std::ifstream in;
    EXPECT_TRUE(OpenInputFile(in, "data\\stats\\weapons.txt"));
    std::ifstream missing;
    EXPECT_FALSE(OpenInputFile(missing, "data\\stats\\nothing.txt"));
}

TEST(Files, WholeFileKeepsEveryByte) {
    // Longer than one 2048-byte piece, with zero bytes and a short last piece.
    std::string bytes(5000, 'a');
    bytes[10] = '\0';
    bytes[3000] = '\0';
    bytes[4999] = 'z';
    WriteBytes("coreutil_whole.bin", bytes);
    EXPECT_EQ(ReadWholeFile(true, "coreutil_whole.bin"), bytes);
    EXPECT_EQ(GetFileLength("coreutil_whole.bin"), 5000);
    remove("coreutil_whole.bin");

    WriteBytes("coreutil_whole.txt", "line1\r\nline2\n");
    EXPECT_EQ(ReadWholeFile(false, "coreutil_whole.txt"), "line1\nline2\n");
    remove("coreutil_whole.txt");

    EXPECT_EQ(ReadWholeFile(true, "coreutil_missing.bin"), "");
    EXPECT_EQ(GetFileLength("coreutil_missing.bin"), 0);
}

TEST(Files, LineListStopsAtEmptyLine) {
    WriteBytes("coreutil_list.txt", "a\r\nb\n\nc\n");
    std::vector<std::string> lines = {"kept"};
    EXPECT_TRUE(ReadLineList("coreutil_list.txt", lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"kept", "a", "b"}));
    remove("coreutil_list.txt");
    EXPECT_FALSE(ReadLineList("coreutil_missing.txt", lines));
}

TEST(Files, CreateDirectoryPathMakesEveryPrefix) {
    CreateDirectoryPath("coreutil_gen\\data\\collision\\");
    EXPECT_TRUE(IsFolder("coreutil_gen"));
    EXPECT_TRUE(IsFolder("coreutil_gen\\data"));
    EXPECT_TRUE(IsFolder("coreutil_gen\\data\\collision"));
    // The part after the last backslash is a file name, not a folder.
    CreateDirectoryPath("coreutil_gen\\file.txt");
    EXPECT_FALSE(IsFolder("coreutil_gen\\file.txt"));
    // Paths far beyond MAX_PATH are taken whole.
    std::string deep = "coreutil_gen\\";
    for (int i = 0; i < 30; i++) {
        deep += "folder_number_" + std::to_string(i) + "\\";
    }
    ASSERT_GT(deep.size(), 300u);
    CreateDirectoryPath(deep);
    EXPECT_TRUE(IsFolder(deep.substr(0, deep.size() - 1)));
    EXPECT_EQ(system("rm -rf coreutil_gen"), 0);
}
