// The native build has no Documents folder: the per-user files go to the
// fallback folder under the working folder, as on Windows when the shell
// cannot name one.
#include <cstdio>

#include "app/user_folder.h"
#include "core/files.h"

std::string GetUserDataFolder(const std::string&) {
    std::string folder = "userdata\\";
    MakeDirectory("userdata");
    return folder;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}
