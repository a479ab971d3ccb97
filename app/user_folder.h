// The per-user folder and the one file operation the settings need that the
// C library cannot do portably. Bodies in app/win32 and app/native.
#ifndef APP_USER_FOLDER_H
#define APP_USER_FOLDER_H

#include <string>

// The folder of that name under the user's Documents folder, made when
// missing; "userdata\\" (without the name) when there is no Documents folder.
std::string GetUserDataFolder(const std::string& name);

// Moves the file over the target, replacing it in one step; false on failure.
bool ReplaceFileWith(const std::string& from, const std::string& to);

#endif
