#include <windows.h>

#include "core/files.h"

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), NULL) != 0;
}
