#include <gtest/gtest.h>

#include "platform/screen/polish_text.h"

namespace qaro {
namespace {

struct Conversion {
    PolishStandard standard;
    const char* digraph;
    const char* bytes;
};

TEST(PolishText, DigraphsBecomeTheBytesOfEachStandard) {
    const Conversion cases[] = {
        // every letter, small then capital
        {PolishStandard::Latin2, "a`c`e`l`n`o`s`z`x`", "\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE"},
        {PolishStandard::Latin2, "A`C`E`L`N`O`S`Z`X`", "\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD"},
        {PolishStandard::Mazowia, "a`c`e`l`n`o`s`z`x`", "\x86\x8D\x91\x92\xA4\xA2\x9E\xA6\xA7"},
        {PolishStandard::Mazowia, "A`C`E`L`N`O`S`Z`X`", "\x8F\x95\x90\x9C\xA5\xA3\x98\xA0\xA1"},
        {PolishStandard::Plain, "a`c`e`l`n`o`s`z`x`", "acelnoszz"},
        {PolishStandard::Plain, "A`C`E`L`N`O`S`Z`X`", "ACELNOSZZ"},
        // a backtick after another character stays, a lone trailing one too
        {PolishStandard::Latin2, "b` `x`` end`", "b` `\xBE` end`"},
        {PolishStandard::Latin2, "Bl`a`d", "B\x88\xA5" "d"},
        {PolishStandard::Plain, "", ""},
    };
    for (const auto& c : cases) {
        PLCHANGE(c.standard);
        EXPECT_EQ(P(c.digraph), c.bytes) << c.digraph << " in standard " << static_cast<int>(c.standard);
        EXPECT_EQ(P(P(c.digraph)), c.bytes) << "conversion must be idempotent";
    }
}

TEST(PolishText, StandardNumbers) {
    EXPECT_EQ(DAJ_POL(1), PolishStandard::Mazowia);
    EXPECT_EQ(DAJ_POL(2), PolishStandard::Latin2);
    EXPECT_EQ(DAJ_POL(4), PolishStandard::Plain);
    EXPECT_EQ(DAJ_POL(3), PolishStandard::Plain);
}

TEST(PolishText, UpperCasesPolishLettersInEachStandard) {
    for (auto s : {PolishStandard::Mazowia, PolishStandard::Latin2, PolishStandard::Plain}) {
        PLCHANGE(s);
        EXPECT_EQ(UPPER(P("zal`o`x`c` ge`s`la` jaz`n` 1!")), P("ZAL`O`X`C` GE`S`LA` JAZ`N` 1!"))
            << static_cast<int>(s);
    }
    PLCHANGE(PolishStandard::Latin2);
    EXPECT_EQ(UPPER("c:\\firma\\"), "C:\\FIRMA\\");
}

TEST(PolishText, DisplayCharactersOfNamedBytes) {
    for (auto s : {PolishStandard::Mazowia, PolishStandard::Latin2, PolishStandard::Plain}) {
        EXPECT_EQ(oem_to_unicode(175, s), U'»');
        EXPECT_EQ(oem_to_unicode(174, s), U'«');
        EXPECT_EQ(oem_to_unicode(0xB3, s), U'│');
        EXPECT_EQ(oem_to_unicode(24, s), U'↑');
        EXPECT_EQ(oem_to_unicode(25, s), U'↓');
        EXPECT_EQ(oem_to_unicode(0xFE, s), U'■');
    }
    EXPECT_EQ(oem_to_unicode(0xE4, PolishStandard::Plain), U'Σ');
    EXPECT_EQ(oem_to_unicode(0xE4, PolishStandard::Mazowia), U'Σ');
    EXPECT_EQ(oem_to_unicode(0xE4, PolishStandard::Latin2), U'ń');
    EXPECT_EQ(oem_to_unicode(0xA4, PolishStandard::Mazowia), U'ń');
    EXPECT_EQ(oem_to_unicode(0xA4, PolishStandard::Plain), U'ñ');
}

TEST(PolishText, Utf8BothWays) {
    for (auto s : {PolishStandard::Mazowia, PolishStandard::Latin2}) {
        PLCHANGE(s);
        std::string bytes = P("Zakon`czenie instalacji: z`ro`dl`o \xAF" "qaro\xAE");
        EXPECT_EQ(oem_to_utf8(bytes, s), "Zakończenie instalacji: źródło »qaro«");
        EXPECT_EQ(utf8_to_oem("Zakończenie instalacji: źródło »qaro«", s), bytes);
    }
    EXPECT_EQ(utf8_to_oem("łódź €", PolishStandard::Plain), "lodz ?");
    EXPECT_EQ(utf8_to_oem("\xC5", PolishStandard::Latin2), "?");   // cut sequence
}

}  // namespace
}  // namespace qaro
