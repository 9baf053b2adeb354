#include "platform/AppPaths.h"

#include <mutex>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

#include "platform/TextEncoding.h"
#else
#include <filesystem>
#include <system_error>
#endif

namespace platform {

namespace {

std::string FolderOf(const std::string& file)
{
#ifdef _WIN32
    const auto cut = file.find_last_of("\\/");
#else
    const auto cut = file.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

std::string RealExecutablePath()
{
#ifdef _WIN32
    // The path can exceed MAX_PATH; the call reports truncation only by filling the buffer.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD written = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (written == 0)
            return {};
        if (written < size)
            return Utf16ToAnsi(
                std::u16string_view(reinterpret_cast<const char16_t*>(buffer.data()), written));
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
#endif
}

std::mutex overrideMutex;
std::string overrideFolder;

} // namespace

char PathDelimiter()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string ExecutableFolder()
{
    {
        std::lock_guard lock(overrideMutex);
        if (!overrideFolder.empty())
            return overrideFolder;
    }
    // The executable does not move while it runs.
    static const std::string realFolder = FolderOf(RealExecutablePath());
    return realFolder;
}

void SetExecutableFolder(std::string folder)
{
    if (!folder.empty() && !EndsWithPathDelimiter(folder))
        folder += PathDelimiter();
    std::lock_guard lock(overrideMutex);
    overrideFolder = std::move(folder);
}

std::string AdminIniPath()
{
    return ExecutableFolder() + "Admin.ini";
}

bool EndsWithPathDelimiter(std::string_view path)
{
    if (path.empty())
        return false;
    const char last = path.back();
#ifdef _WIN32
    return last == '\\' || last == '/';
#else
    return last == '/';
#endif
}

} // namespace platform
