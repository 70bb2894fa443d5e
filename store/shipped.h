// The files shipped inside the program (generated from data/ at build time).
#pragma once

#include <string_view>

namespace store::shipped {
// "admlocal.tsv", "activida.tsv" or "considera.txt"; empty when unknown.
std::string_view file(std::string_view name);
}  // namespace store::shipped
