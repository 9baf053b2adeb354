#include "runfiles/RunFolder.h"

#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "platform/AppPaths.h"
#include "runfiles/NativePath.h"

namespace runfiles {

Clock SystemClock()
{
    return [] { return std::time(nullptr); };
}

std::tm LocalTime(std::time_t when)
{
    std::tm result{};
#ifdef _WIN32
    const bool ok = localtime_s(&result, &when) == 0;
#else
    const bool ok = localtime_r(&when, &result) != nullptr;
#endif
    if (!ok)
        throw std::runtime_error("Cannot convert the time " + std::to_string(when) +
                                 " to local time");
    return result;
}

std::string RunFolderName(std::string_view chosenFolder, const std::tm& localTime)
{
    // Large enough for any int fields, so the output is never cut short.
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);

    std::string name(chosenFolder);
    if (!platform::EndsWithPathDelimiter(name))
        name += platform::PathDelimiter();
    name += stamp;
    name += platform::PathDelimiter();
    return name;
}

std::string NewRunFolderName(std::string_view chosenFolder, const Clock& clock)
{
    return RunFolderName(chosenFolder, LocalTime(clock()));
}

void CreateFolderWithParents(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(detail::NativePath(path), error);
    if (error)
        throw std::runtime_error("Cannot create the folder \"" + path + "\": " + error.message());
}

} // namespace runfiles
