#include "tools/datagen/output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

static bool MakeFolders(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool OutputFolder::Write(const std::string& gamePath, const std::vector<unsigned char>& bytes) {
  std::string path = root_ + "/" + gamePath;
  for (char& c : path)
    if (c == '\\') c = '/';
  bool ok = MakeFolders(path);
  FILE* f = ok ? std::fopen(path.c_str(), "wb") : nullptr;
  if (f) {
    ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
  } else {
    ok = false;
  }
  if (!ok) {
    std::fprintf(stderr, "vexmoor_datagen: cannot write %s\n", path.c_str());
    failed_ = true;
  }
  written_.push_back(gamePath);
  return ok;
}

bool OutputFolder::Write(const std::string& gamePath, const std::string& bytes) {
  return Write(gamePath, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}
