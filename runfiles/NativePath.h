#pragma once

// Internal to runfiles: the one place where UTF-8 path text meets the file system.

#include <filesystem>
#include <string>
#include <string_view>

namespace runfiles::detail {

// Linux file names are bytes, so UTF-8 passes through; Windows wants UTF-16, and a narrow
// std::filesystem::path there would be read in the ANSI code page.
std::filesystem::path NativePath(const std::string& utf8);

} // namespace runfiles::detail
