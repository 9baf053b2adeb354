#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace runfiles {

// Seconds since the epoch; tests pass a fixed one.
using Clock = std::function<std::time_t()>;

// std::time(nullptr).
Clock SystemClock();

// The local calendar time of `when` (localtime_r / localtime_s, so safe across threads).
// Throws std::runtime_error when the system cannot convert it.
std::tm LocalTime(std::time_t when);

// chosenFolder + delimiter (unless it already ends with one) + YYYYMMDDhhmmss + delimiter.
// An empty chosenFolder gives a folder in the root of the current drive ("/20231231235959/").
// The year has at least four digits.
std::string RunFolderName(std::string_view chosenFolder, const std::tm& localTime);

// RunFolderName for the clock's current local time.
std::string NewRunFolderName(std::string_view chosenFolder, const Clock& clock = SystemClock());

// Creates path (UTF-8) and every missing parent; an existing folder is fine.
// Throws std::runtime_error naming the path and the system's reason.
void CreateFolderWithParents(const std::string& path);

} // namespace runfiles
