#pragma once

#include <string>
#include <string_view>

namespace platform {

char PathDelimiter();

// Whether the path ends with a delimiter (on Windows also '/').
bool EndsWithPathDelimiter(std::string_view path);

// Folder of the running executable, ending with a path delimiter, in the ANSI code page.
// Empty when the system cannot tell, so that paths built on it fall back to the working folder.
std::string ExecutableFolder();

// Replaces the folder ExecutableFolder() reports, so each test can use a folder of its own;
// a missing trailing delimiter is added. An empty folder restores the real one.
void SetExecutableFolder(std::string folder);

// ExecutableFolder() + "Admin.ini".
std::string AdminIniPath();

} // namespace platform
