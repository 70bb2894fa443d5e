#include <gtest/gtest.h>

#include <sstream>

#include "dbf_test_util.h"
#include "store/codepage.h"
#include "store/platform/codepages.h"

using store::StoreError;
using namespace store::codepage;

namespace {

const CodePage kPages[] = {CodePage::Cp437, CodePage::Cp850, CodePage::Cp1252, CodePage::Cp852, CodePage::Cp1250};

// One character per page from its published chart, reached through the
// header byte of a table; an unmarked byte reads as 850.
TEST(CodePage, HeaderByteSelectsThePageATableIsReadIn) {
    const struct {
        std::uint8_t header;
        const char* utf8;
        char byte;
    } cases[] = {{0x02, "Ñ", '\xA5'}, {0x01, "░", '\xB0'}, {0x03, "€", '\x80'}, {0x57, "ñ", '\xF1'},
                 {0x00, "ñ", '\xA4'}, {0x64, "Č", '\xAC'}, {0xC8, "Ł", '\xA3'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const dbftest::RawDbf raw{
            .codePage = c.header, .fields = {{"A", 'C', 1}}, .records = {std::string(" ") + c.byte}};
        EXPECT_EQ(store::DbfTable::fromBytes(raw.bytes(), "cp.dbf")->read(0, 0), store::Value(c.utf8));
        const auto page = fromHeaderByte(c.header ? c.header : 0x02);
        ASSERT_TRUE(page);
        EXPECT_EQ(encode(c.utf8, *page), std::string(1, c.byte));
    }
}

TEST(CodePage, WhatThePageCannotHoldAndInvalidUtf8AreRefused) {
    const std::pair<CodePage, std::vector<std::string>> cases[] = {
        {CodePage::Cp437, {"ÁRBOL"}},
        {CodePage::Cp1252, {"Łódź"}},
        {CodePage::Cp852, {"ñ"}},
        {CodePage::Cp1250, {"ñ"}},
        // Not in the page; then a lone continuation byte, a sequence cut at the end, a bad continuation,
        // overlong forms of two and three bytes, a surrogate, beyond U+10FFFF, a byte UTF-8 never has.
        {CodePage::Cp850,
         {"precio en €", "Łódź", "漢字", "😀", "\x80", "A\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "\xFF"}},
    };
    for (const auto& [page, texts] : cases)
        for (const std::string& utf8 : texts)
            EXPECT_THROW(encode(utf8, page), StoreError) << testing::PrintToString(utf8) << " cp" << name(page);
}

// How an implementation the store does not share reads each byte of each
// page, as UTF-8: the system's tables on Windows, else Python's codecs.
// Python leaves out bytes its tables lack; those read as the character of the
// same number, as they do in ours.
std::optional<std::vector<std::vector<std::string>>> otherReading() {
    std::vector<std::vector<std::string>> pages;
    for (CodePage page : kPages) {
        std::vector<std::string>& bytes = pages.emplace_back();
        for (int b = 0; b < 256; ++b)
            if (auto s = store::platform::systemDecode(std::stoi(name(page)), std::string(1, static_cast<char>(b))))
                bytes.push_back(*s);
    }
    if (pages[0].size() == 256)
        return pages;
    const dbftest::RunResult r = dbftest::runProgram(
        "/usr/bin/python3", {"-c", "for cp in ['cp437','cp850','cp1252','cp852','cp1250']:\n  for b in range(256):\n"
                                   "    print((bytes([b]).decode(cp, errors='ignore') or chr(b)).encode().hex())"});
    if (r.status != 0)
        return std::nullopt;
    std::istringstream lines(r.out);
    for (std::vector<std::string>& bytes : pages)
        for (std::string hex; bytes.size() < 256 && std::getline(lines, hex);) {
            std::string& s = bytes.emplace_back();
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
                s += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        }
    return pages;
}

// Every byte of every page encodes back, and decodes as another
// implementation does.
TEST(CodePage, EveryByteDecodesAsAnotherImplementationDoesAndEncodesBack) {
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    for (CodePage page : kPages)
        EXPECT_EQ(encode(decode(all, page), page), all) << "cp" << name(page);
    const auto other = otherReading();
    if (!other)
        GTEST_SKIP() << "no other implementation of the code pages (python3) is available";
    for (std::size_t p = 0; p < std::size(kPages); ++p)
        for (int b = 0; b < 256; ++b)
            EXPECT_EQ(decode(std::string(1, static_cast<char>(b)), kPages[p]), (*other)[p].at(b))
                << "cp" << name(kPages[p]) << " byte " << b;
}

}  // namespace
