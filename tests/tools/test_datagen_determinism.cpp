// The generator makes the same bytes every time: a fresh run into a temporary
// folder equals what the build installed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/data_files.h"

#ifdef VEXMOOR_DATAGEN_PATH

TEST(DataGenerator, RegeneratesTheInstalledFilesByteForByte) {
  std::string scratch = (std::filesystem::temp_directory_path() / "vexmoor_datagen_XXXXXX").string();
  ASSERT_NE(mkdtemp(&scratch[0]), nullptr);
  std::string command = std::string("\"") + VEXMOOR_DATAGEN_PATH + "\" \"" + scratch + "\" --list";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> written;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    written.push_back(name);
  }
  EXPECT_EQ(pclose(pipe), 0);

  EXPECT_GT(written.size(), 40u);
  for (const std::string& name : written) {
    SCOPED_TRACE(name);
    std::string fresh, installed, native = name;
    for (char& c : native)
      if (c == '\\') c = '/';
    ASSERT_TRUE(ReadFileBytes(scratch + "/" + native, fresh));
    ASSERT_TRUE(ReadFileBytes("data\\" + name, installed));
    EXPECT_FALSE(fresh.empty());
    EXPECT_TRUE(fresh == installed);
  }
  std::filesystem::remove_all(scratch);
}

#endif
