#ifndef DATAGEN_HASH_H
#define DATAGEN_HASH_H

#include <cstdint>
#include <string>

// FNV-1a over the bytes: the mesh files' cache identifier is made from it.
inline uint32_t Fnv1a32(const std::string& bytes) {
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

// A mesh file's "RandomID": the top 24 bits of the hash of everything after the
// RandomID group, plus one, so the value is a whole number a float holds exactly.
inline uint32_t MeshCacheId(const std::string& rest) { return (Fnv1a32(rest) >> 8) + 1; }

#endif
