#include <sys/stat.h>
#include <sys/types.h>

#include "core/files.h"

bool MakeDirectory(const std::string& path) {
    return mkdir(NativePath(path).c_str(), 0755) == 0;
}
