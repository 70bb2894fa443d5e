#include <gtest/gtest.h>

#include <sstream>

#include "dbf_test_util.h"
#include "store/codepage.h"

using store::StoreError;
using namespace store::codepage;

namespace {

const CodePage kPages[] = {CodePage::Cp437, CodePage::Cp850, CodePage::Cp1252, CodePage::Cp852, CodePage::Cp1250};

// One character per page from its published chart, reached through its header byte.
TEST(CodePage, HeaderByteSelectsAPageThatMapsItsCharacters) {
    const struct {
        std::uint8_t header;
        const char* utf8;
        unsigned char byte;
    } cases[] = {{0x02, "Ñ", 0xA5}, {0x01, "░", 0xB0}, {0x03, "€", 0x80}, {0x64, "Č", 0xAC}, {0xC8, "Ł", 0xA3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const auto page = fromHeaderByte(c.header);
        ASSERT_TRUE(page);
        EXPECT_EQ(encode(c.utf8, *page), std::string(1, static_cast<char>(c.byte)));
        EXPECT_EQ(decode(std::string(1, static_cast<char>(c.byte)), *page), c.utf8);
    }
}

TEST(CodePage, WhatThePageCannotHoldAndInvalidUtf8AreRefused) {
    const std::pair<CodePage, const char*> cases[] = {
        {CodePage::Cp850, "precio en €"}, {CodePage::Cp850, "Łódź"}, {CodePage::Cp437, "ÁRBOL"},
        {CodePage::Cp1252, "Łódź"},       {CodePage::Cp852, "ñ"},    {CodePage::Cp1250, "ñ"},
        {CodePage::Cp850, "漢字"},        {CodePage::Cp850, "😀"},
        {CodePage::Cp850, "\x80"},             // lone continuation byte
        {CodePage::Cp850, "A\xC3"},            // cut sequence at the end
        {CodePage::Cp850, "\xC3("},            // bad continuation
        {CodePage::Cp850, "\xC0\xAF"},         // overlong '/'
        {CodePage::Cp850, "\xE0\x80\xAF"},     // overlong, three bytes
        {CodePage::Cp850, "\xED\xA0\x80"},     // surrogate
        {CodePage::Cp850, "\xF4\x90\x80\x80"}, // beyond U+10FFFF
        {CodePage::Cp850, "\xFF"},
    };
    for (const auto& [page, utf8] : cases)
        EXPECT_THROW(encode(utf8, page), StoreError) << testing::PrintToString(std::string(utf8)) << " cp" << name(page);
}

// Every byte of every page encodes back, and decodes as an independent
// implementation does, when there is one.
TEST(CodePage, EveryByteDecodesAsPythonDoesAndEncodesBack) {
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    for (CodePage page : kPages)
        EXPECT_EQ(encode(decode(all, page), page), all) << "cp" << name(page);
    int status = -1;
    const std::string out = dbftest::runCommand(
        "python3 -c \"\nfor cp in ['cp437','cp850','cp1252','cp852','cp1250']:\n  print(' '.join((bytes([b]).decode("
        "cp, errors='ignore') or chr(b)).encode().hex() for b in range(256)))\" 2>/dev/null", &status);
    if (status != 0 || out.empty())
        GTEST_SKIP() << "python3 is not available";
    std::istringstream lines(out);
    for (CodePage page : kPages) {
        std::string line, ours;
        std::getline(lines, line);
        for (int b = 0; b < 256; ++b) {
            for (unsigned char c : decode(std::string(1, static_cast<char>(b)), page))
                ours += "0123456789abcdef"[c >> 4], ours += "0123456789abcdef"[c & 15];
            ours += b < 255 ? " " : "";
        }
        EXPECT_EQ(ours, line) << "cp" << name(page);
    }
}

} // namespace
