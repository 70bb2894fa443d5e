// The system's own code page tables, where it has them (Windows): the tests
// compare the store's conversions with an implementation they do not share.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace store::platform {

// bytes read in the code page numbered page (850, 1252, ...), as UTF-8;
// nullopt where the system offers no conversion.
std::optional<std::string> systemDecode(unsigned page, std::string_view bytes);

}  // namespace store::platform
