#include "runfiles/NativePath.h"

#ifdef _WIN32
#include "platform/TextEncoding.h"
#endif

namespace runfiles::detail {

std::filesystem::path NativePath(const std::string& utf8)
{
#ifdef _WIN32
    const std::u16string wide = platform::Utf8ToUtf16(utf8);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

} // namespace runfiles::detail
