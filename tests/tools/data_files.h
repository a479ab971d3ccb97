// Small readers the tool tests use to look inside the generated data: whole
// files, PNG headers, Ogg Vorbis identification headers, stats rows and the
// structure of mesh and clip files.
#ifndef TESTS_TOOLS_DATA_FILES_H
#define TESTS_TOOLS_DATA_FILES_H

#include <map>
#include <string>
#include <vector>

// The file's bytes, read in binary; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::string& bytes);

struct PngHeader {
  int width = 0, height = 0, bitDepth = 0, colourType = 0;
};
bool ReadPngHeader(const std::string& bytes, PngHeader& header);

struct VorbisHeader {
  int channels = 0;
  long rate = 0;
};
// The identification header in the stream's first page.
bool ReadVorbisHeader(const std::string& bytes, VorbisHeader& header);

// Rows of a stats file (first line and heading skipped), split at any of 'separators'.
std::vector<std::vector<std::string>> ReadStatsRows(const std::string& path, const char* separators);

struct MbmMesh {
  std::string name, texture;
  std::vector<float> vertices;  // 8 floats each ("PNT2")
  std::vector<int> indices;
};
struct MbmBone {
  std::string name, mesh;
  std::vector<std::string> children;
};
struct MbmFile {
  std::string cacheId;  // the "RandomID" value as written
  std::string rest;     // everything after the RandomID group
  std::vector<MbmMesh> meshes;
  std::vector<MbmBone> bones;
  const MbmBone* FindBone(const std::string& name) const;
};
// False when the text does not follow the grammar the generator writes.
bool ReadMbm(const std::string& text, MbmFile& file);

struct ClipFile {
  std::string name;
  float length = 0;
  std::map<std::string, std::vector<std::vector<float>>> tracks;  // bone -> keys (w x y z t)
};
bool ReadClip(const std::string& text, ClipFile& clip);

#endif
