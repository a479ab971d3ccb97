// Small readers the tool tests use to look inside the generated data: whole
// files, PNG headers, stats rows and the structure of mesh files.
#ifndef TESTS_TOOLS_DATA_FILES_H
#define TESTS_TOOLS_DATA_FILES_H

#include <string>
#include <vector>

// The file's bytes, read in binary; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::string& bytes);

struct PngHeader {
  int width = 0, height = 0, bitDepth = 0, colourType = 0;
};
bool ReadPngHeader(const std::string& bytes, PngHeader& header);

// Rows of a stats file (first line and heading skipped), split at any of 'separators'.
std::vector<std::vector<std::string>> ReadStatsRows(const std::string& path, const char* separators);

struct MbmMesh {
  std::string name, texture;
  std::vector<float> vertices;  // 8 floats each ("PNT2")
  std::vector<int> indices;
};
struct MbmBone {
  std::string name, mesh;
};
struct MbmFile {
  std::string cacheId;  // the "RandomID" value as written
  std::string rest;     // everything after the RandomID group
  std::vector<MbmMesh> meshes;
  std::vector<MbmBone> bones;
};
// False when the text does not follow the grammar the generator writes.
bool ReadMbm(const std::string& text, MbmFile& file);

#endif
