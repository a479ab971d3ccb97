#include "tests/tools/data_files.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/files.h"

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  std::ifstream in;
  if (!OpenInputFile(in, path, true)) return false;
  std::ostringstream all;
  all << in.rdbuf();
  bytes = all.str();
  return true;
}

static unsigned long Big32(const std::string& b, size_t at) {
  return ((unsigned long)(unsigned char)b[at] << 24) | ((unsigned long)(unsigned char)b[at + 1] << 16) |
         ((unsigned long)(unsigned char)b[at + 2] << 8) | (unsigned long)(unsigned char)b[at + 3];
}

bool ReadPngHeader(const std::string& bytes, PngHeader& header) {
  static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
  if (bytes.size() < 33 || bytes.compare(0, 8, signature, 8) != 0 || bytes.compare(12, 4, "IHDR") != 0)
    return false;
  header.width = (int)Big32(bytes, 16);
  header.height = (int)Big32(bytes, 20);
  header.bitDepth = (unsigned char)bytes[24];
  header.colourType = (unsigned char)bytes[25];
  return true;
}

std::vector<std::vector<std::string>> ReadStatsRows(const std::string& path, const char* separators) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in;
  if (!OpenInputFile(in, path)) return rows;
  std::string line;
  for (int n = 0; std::getline(in, line); ++n) {
    if (n < 2) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::string field;
    for (char c : line + separators[0]) {
      if (std::strchr(separators, c)) {
        if (!field.empty()) fields.push_back(field);
        field.clear();
      } else {
        field += c;
      }
    }
    if (!fields.empty()) rows.push_back(fields);
  }
  return rows;
}

namespace {

class Tokens {
 public:
  explicit Tokens(const std::string& text) : in_(text) {}
  std::string Next() {
    std::string t;
    in_ >> t;
    return t;
  }
  bool Expect(const char* word) { return Next() == word; }
  // "Keyword { value }" for one-word values.
  bool Value(std::string& out) {
    if (!Expect("{")) return false;
    out = Next();
    return Expect("}");
  }

 private:
  std::istringstream in_;
};

bool ReadMesh(Tokens& t, MbmMesh& mesh) {
  if (!t.Expect("{")) return false;
  for (std::string field = t.Next(); field != "}"; field = t.Next()) {
    if (field == "Name") {
      if (!t.Value(mesh.name)) return false;
    } else if (field == "Chunk") {
      if (!t.Expect("{")) return false;
      for (std::string part = t.Next(); part != "}"; part = t.Next()) {
        if (!t.Expect("{")) return false;
        if (part == "TextureC") {
          if (t.Next() != "0") return false;
          mesh.texture = t.Next();
        } else if (part == "Vertices") {
          if (t.Next() != "PNT2") return false;
          long n = std::atol(t.Next().c_str());
          for (long i = 0; i < n * 8; ++i) mesh.vertices.push_back((float)std::atof(t.Next().c_str()));
        } else if (part == "Indices") {
          long n = std::atol(t.Next().c_str());
          for (long i = 0; i < n; ++i) mesh.indices.push_back(std::atoi(t.Next().c_str()));
        } else {
          return false;
        }
        if (!t.Expect("}")) return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

bool ReadBone(Tokens& t, MbmBone& bone) {
  if (!t.Expect("{")) return false;
  for (std::string field = t.Next(); field != "}"; field = t.Next()) {
    std::string value;
    if (field == "Name" || field == "Mesh" || field == "Child") {
      if (!t.Value(value)) return false;
      if (field == "Name") bone.name = value;
      if (field == "Mesh") bone.mesh = value;
    } else if (field == "ConnectPos" || field == "ConnectRot") {
      if (!t.Expect("{")) return false;
      for (int i = 0; i < (field == "ConnectPos" ? 3 : 9); ++i) t.Next();
      if (!t.Expect("}")) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadMbm(const std::string& text, MbmFile& file) {
  const std::string head = "RandomID { ";
  size_t close = text.find(" }\n");
  if (text.compare(0, head.size(), head) != 0 || close == std::string::npos) return false;
  file.cacheId = text.substr(head.size(), close - head.size());
  file.rest = text.substr(close + 3);
  Tokens t(file.rest);
  for (std::string group = t.Next(); !group.empty(); group = t.Next()) {
    if (group == "Mesh") {
      file.meshes.emplace_back();
      if (!ReadMesh(t, file.meshes.back())) return false;
    } else if (group == "Bone") {
      file.bones.emplace_back();
      if (!ReadBone(t, file.bones.back())) return false;
    } else {
      return false;
    }
  }
  return true;
}
