#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/user_folder.h"

std::string GetUserDataFolder(const std::string& name) {
    char path[MAX_PATH];
    std::string folder;
    if (SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, NULL, SHGFP_TYPE_CURRENT, path)) &&
        PathAppendA(path, name.c_str())) {
        folder = path;
    } else {
        folder = "userdata\\";
    }
    // An existing folder is not an error.
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
