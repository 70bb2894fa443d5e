#include <gtest/gtest.h>

#include "dbf_test_util.h"
#include "store/codepage.h"
#include "store/platform/codepages.h"

using store::StoreError;
using namespace store::codepage;

namespace {

const CodePage kPages[] = {CodePage::Cp437, CodePage::Cp850, CodePage::Cp1252, CodePage::Cp852, CodePage::Cp1250};

// One character per page from its chart, through a table's header byte; an unmarked byte reads as 850.
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
    }
}

TEST(CodePage, WhatThePageCannotHoldAndInvalidUtf8AreRefused) {
    const std::pair<CodePage, std::vector<std::string>> cases[] = {
        {CodePage::Cp437, {"ÁRBOL"}},
        {CodePage::Cp1252, {"Łódź"}},
        {CodePage::Cp852, {"ñ"}},
        {CodePage::Cp1250, {"ñ"}},
        // Not in the page; then a lone continuation, a cut sequence, a bad continuation, overlongs, a surrogate,
        // beyond U+10FFFF, a byte UTF-8 never has.
        {CodePage::Cp850,
         {"precio en €", "Łódź", "漢字", "😀", "\x80", "A\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "\xFF"}},
    };
    for (const auto& [page, texts] : cases)
        for (const std::string& utf8 : texts)
            EXPECT_THROW(encode(utf8, page), StoreError) << testing::PrintToString(utf8) << " cp" << name(page);
}

// Every byte of every page encodes back, and decodes as an implementation the store does not share reads it: the
// system's tables on Windows, else Python's codecs, where a byte their tables lack is the character of its number.
TEST(CodePage, EveryByteDecodesAsAnotherImplementationDoesAndEncodesBack) {
    std::string all(256, '\0'), ours, other;
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    bool system = true;
    for (CodePage page : kPages) {
        EXPECT_EQ(encode(decode(all, page), page), all) << "cp" << name(page);
        ours += decode(all, page);
        const auto s = store::platform::systemDecode(std::stoi(name(page)), all);
        system = system && s;
        other += s.value_or("");
    }
    if (!system) {
        const dbftest::RunResult r = dbftest::runProgram(
            "/usr/bin/python3",
            {"-c", "import sys\nsys.stdout.buffer.write(''.join(bytes([b]).decode(cp, 'ignore') or "
                   "chr(b) for cp in ['cp437','cp850','cp1252','cp852','cp1250'] for b in range(256)).encode())"});
        if (r.status != 0)
            GTEST_SKIP() << "no other implementation of the code pages (python3) is available";
        other = r.out;
    }
    EXPECT_EQ(ours, other);
}

}  // namespace
