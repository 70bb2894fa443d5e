// Conversions between UTF-8 (inside the program) and the single-byte code
// pages that .dbf tables store their text in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace store::codepage {

enum class CodePage { Cp437, Cp850, Cp1252, Cp852, Cp1250 };

// The code page that the header byte (offset 29) names: 0x01 cp437, 0x02 cp850,
// 0x03/0x57/0x58/0x59 cp1252, 0x64 cp852, 0xC8 cp1250, and 0x00 (unmarked)
// read as cp850. Empty for any other byte: the text cannot be read safely.
std::optional<CodePage> fromHeaderByte(std::uint8_t byte);

// "850", "1252", ...
const char* name(CodePage page);

// Every byte decodes; the result is valid UTF-8.
std::string decode(std::string_view bytes, CodePage page);

// True when the page has a byte for the character.
bool holds(char32_t c, CodePage page);

// Throws StoreError for invalid UTF-8 or a character the page cannot hold;
// nothing is ever replaced.
std::string encode(std::string_view utf8, CodePage page);

}  // namespace store::codepage
