#include "runfiles/ScriptFile.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "platform/AppPaths.h"
#include "runfiles/NativePath.h"

namespace runfiles {

namespace {

[[noreturn]] void ThrowRenameError(const std::string& from, const std::string& to,
                                   const std::error_code& error)
{
    throw std::runtime_error("Cannot rename \"" + from + "\" to \"" + to + "\": " +
                             error.message());
}

void RenameReplacing(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // rename() on Windows refuses to replace an existing file.
    if (!MoveFileExW(detail::NativePath(from).c_str(), detail::NativePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING))
        ThrowRenameError(from, to,
                         std::error_code(static_cast<int>(GetLastError()), std::system_category()));
#else
    std::error_code error;
    std::filesystem::rename(detail::NativePath(from), detail::NativePath(to), error);
    if (error)
        ThrowRenameError(from, to, error);
#endif
}

} // namespace

ScriptFile::ScriptFile(std::string runFolder, std::string_view tableNameUtf8)
    : name_(ScriptFileName(tableNameUtf8)), finalPath_(std::move(runFolder))
{
    if (!platform::EndsWithPathDelimiter(finalPath_))
        finalPath_ += platform::PathDelimiter();
    finalPath_ += name_.fileName;
    temporaryPath_ = finalPath_ + ".tmp";
}

void ScriptFile::Commit()
{
    RenameReplacing(temporaryPath_, finalPath_);
}

std::string ScriptFile::MarkIncomplete()
{
    std::string incompletePath = finalPath_ + ".incompleto";
    std::error_code error;
    const bool exists = std::filesystem::exists(detail::NativePath(temporaryPath_), error);
    if (error)
        ThrowRenameError(temporaryPath_, incompletePath, error);
    if (!exists)
        return {};
    RenameReplacing(temporaryPath_, incompletePath);
    return incompletePath;
}

} // namespace runfiles
