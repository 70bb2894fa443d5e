#include "store/platform/codepages.h"

#ifdef _WIN32
#include "store/platform/wide.h"
#endif

namespace store::platform {

#ifdef _WIN32

std::optional<std::string> systemDecode(unsigned page, std::string_view bytes) {
    if (bytes.empty())
        return std::string();
    const int n = MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    return toUtf8(w);
}

#else

std::optional<std::string> systemDecode(unsigned, std::string_view) { return std::nullopt; }

#endif

}  // namespace store::platform
