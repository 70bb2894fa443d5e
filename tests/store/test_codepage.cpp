#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dbf_test_util.h"
#include "store/codepage.h"
#include "store/dbf.h"

using store::StoreError;
using namespace store::codepage;

namespace {

TEST(CodePage, HeaderByteSelectsThePage)
{
    struct Case {
        std::uint8_t byte;
        std::optional<CodePage> page;
    };
    const Case cases[] = {
        {0x00, CodePage::Cp850}, {0x01, CodePage::Cp437},  {0x02, CodePage::Cp850}, {0x03, CodePage::Cp1252},
        {0x57, CodePage::Cp1252}, {0x58, CodePage::Cp1252}, {0x59, CodePage::Cp1252}, {0x64, CodePage::Cp852},
        {0xC8, CodePage::Cp1250}, {0x7D, std::nullopt},     {0x26, std::nullopt},     {0xFF, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fromHeaderByte(c.byte), c.page) << "byte " << int(c.byte);
}

// Characters from the published charts of each page.
TEST(CodePage, KnownCharactersEncodeToTheirBytes)
{
    struct Case {
        CodePage page;
        const char* utf8;
        unsigned char byte;
    };
    const Case cases[] = {
        {CodePage::Cp850, "ñ", 0xA4},  {CodePage::Cp850, "Ñ", 0xA5},  {CodePage::Cp850, "á", 0xA0},
        {CodePage::Cp850, "Á", 0xB5},  {CodePage::Cp850, "É", 0x90},  {CodePage::Cp850, "Í", 0xD6},
        {CodePage::Cp850, "Ó", 0xE0},  {CodePage::Cp850, "Ú", 0xE9},  {CodePage::Cp850, "Ü", 0x9A},
        {CodePage::Cp850, "¿", 0xA8},  {CodePage::Cp850, "¡", 0xAD},  {CodePage::Cp850, "°", 0xF8},
        {CodePage::Cp437, "ñ", 0xA4},  {CodePage::Cp437, "É", 0x90},  {CodePage::Cp437, "░", 0xB0},
        {CodePage::Cp1252, "ñ", 0xF1}, {CodePage::Cp1252, "Á", 0xC1}, {CodePage::Cp1252, "€", 0x80},
        {CodePage::Cp1252, "“", 0x93}, {CodePage::Cp852, "ł", 0x88},  {CodePage::Cp852, "Č", 0xAC},
        {CodePage::Cp852, "á", 0xA0},  {CodePage::Cp1250, "Ł", 0xA3}, {CodePage::Cp1250, "š", 0x9A},
        {CodePage::Cp1250, "€", 0x80}, {CodePage::Cp1250, "á", 0xE1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encode(c.utf8, c.page), std::string(1, static_cast<char>(c.byte))) << c.utf8 << " cp" << name(c.page);
        EXPECT_EQ(decode(std::string(1, static_cast<char>(c.byte)), c.page), c.utf8);
    }
}

TEST(CodePage, EveryByteDecodesAndEncodesBack)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (CodePage page : {CodePage::Cp437, CodePage::Cp850, CodePage::Cp1252, CodePage::Cp852, CodePage::Cp1250})
        EXPECT_EQ(encode(decode(all, page), page), all) << "cp" << name(page);
}

TEST(CodePage, CharactersThePageCannotHoldAreRefused)
{
    struct Case {
        CodePage page;
        const char* utf8;
    };
    const Case cases[] = {
        {CodePage::Cp850, "precio en €"}, {CodePage::Cp850, "Łódź"}, {CodePage::Cp437, "ÁRBOL"},
        {CodePage::Cp1252, "Łódź"},      {CodePage::Cp852, "ñ"},    {CodePage::Cp1250, "ñ"},
        {CodePage::Cp850, "漢字"},       {CodePage::Cp850, "😀"},
    };
    for (const Case& c : cases)
        EXPECT_THROW(encode(c.utf8, c.page), StoreError) << c.utf8 << " cp" << name(c.page);
}

TEST(CodePage, InvalidUtf8IsRefused)
{
    const char* cases[] = {
        "\x80",             // lone continuation byte
        "A\xC3",            // cut sequence at the end
        "\xC3(",            // bad continuation
        "\xC0\xAF",         // overlong '/'
        "\xE0\x80\xAF",     // overlong, three bytes
        "\xED\xA0\x80",     // surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xFF",
    };
    for (const char* c : cases)
        EXPECT_THROW(encode(c, CodePage::Cp850), StoreError) << testing::PrintToString(std::string(c));
}

// The tables against an independent implementation, when one is on the machine.
TEST(CodePage, TablesAgreeWithPythonCodecs)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a POSIX shell";
#else
    int status = -1;
    const std::string out = dbftest::runCommand(
        "python3 -c \"\nfor cp in ['cp437','cp850','cp1252','cp852','cp1250']:\n"
        "  print(' '.join(str(ord(bytes([b]).decode(cp, errors='ignore') or chr(b))) for b in range(256)))\" "
        "2>/dev/null",
        &status);
    if (status != 0 || out.empty())
        GTEST_SKIP() << "python3 is not available";
    std::istringstream lines(out);
    for (CodePage page : {CodePage::Cp437, CodePage::Cp850, CodePage::Cp1252, CodePage::Cp852, CodePage::Cp1250}) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line));
        std::istringstream codes(line);
        for (int b = 0; b < 256; ++b) {
            unsigned long cp = 0;
            ASSERT_TRUE(codes >> cp);
            std::string expected;
            // Encode the expected code point as UTF-8 through a one-character round trip.
            if (cp < 0x80) {
                expected = std::string(1, static_cast<char>(cp));
            } else if (cp < 0x800) {
                expected = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
            } else {
                expected = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                            static_cast<char>(0x80 | (cp & 0x3F))};
            }
            EXPECT_EQ(decode(std::string(1, static_cast<char>(b)), page), expected)
                << "cp" << name(page) << " byte " << b;
        }
    }
#endif
}

} // namespace
