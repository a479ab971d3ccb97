#ifndef CORE_FILES_H
#define CORE_FILES_H

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// The one place files are opened. Paths are written as the game writes them, with
// backslashes ("data\\stats\\soldiers.txt"); the native build maps them to '/',
// Windows takes them as they are.
std::string NativePath(const std::string& path);
FILE* OpenFile(const std::string& path, const char* mode);
bool OpenInputFile(std::ifstream& in, const std::string& path, bool binary = false);
bool OpenOutputFile(std::ofstream& out, const std::string& path, bool binary = false,
                    bool append = false);

// The whole file, read with "rb" or "rt"; empty when it cannot be opened.
std::string ReadWholeFile(bool binary, const std::string& path);

// Appends the file's lines up to the first empty line or the end of the file;
// false when the file cannot be opened.
bool ReadLineList(const std::string& path, std::vector<std::string>& out);

// Creates every folder of the path that ends before a backslash, shortest first;
// the part after the last backslash is not created.
void CreateDirectoryPath(const std::string& path);

// Length of the file in bytes; 0 when it cannot be opened.
long GetFileLength(const std::string& path);

// Platform seam (core/win32, core/native): creates one folder; true when it was made.
bool MakeDirectory(const std::string& path);

#endif
