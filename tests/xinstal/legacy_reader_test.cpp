#include "xinstal/legacy_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mem_builder.h"
#include "platform/variable_text.h"

namespace qaro {
namespace {

using test::double_bytes;
using test::mem_date;
using test::mem_file;
using test::mem_logical;
using test::mem_number;
using test::mem_record;
using test::mem_text;

std::string listing(const std::vector<LegacyVariable>& vars) {
    std::string s;
    for (auto& v : vars) s += variable_line(Variable{v.name, Scope::Private, v.value}) + "\n";
    return s;
}

std::string listing(std::initializer_list<std::pair<const char*, Value>> vars) {
    std::string s;
    for (auto& [n, v] : vars) s += variable_line(Variable{n, Scope::Private, v}) + "\n";
    return s;
}

struct ByteCase {
    const char* what;
    std::string bytes;
    std::string expected;   // one variable_line per variable, file order
};

Date ymd(int y, int m, int d) { return Date::from_ymd(y, m, d); }

std::vector<ByteCase> byte_cases() {
    const std::string crlf_next = mem_number("NEXT", 7);
    return {
        {"no bytes at all", "", ""},
        {"only the end-of-file byte", "\x1A", ""},
        {"name ends at the zero byte", mem_file(mem_number(std::string("ABC\0XYZ", 7), 1)), listing({{"ABC", 1.0}})},
        {"ten name bytes without a zero byte", mem_file(mem_number("ABCDEFGHIJ", 2)),
         listing({{"ABCDEFGHIJ", 2.0}})},
        {"trailing blanks are not part of the name", mem_file(mem_number("AB  ", 3)), listing({{"AB", 3.0}})},
        {"header bytes the reader does not use are ignored",
         [] {
             std::string r = mem_number("GARB", 5);
             for (int i : {10, 12, 13, 14, 15, 18, 25, 31}) r[static_cast<std::size_t>(i)] = '\xEE';
             return mem_file(r);
         }(),
         listing({{"GARB", 5.0}})},
        {"type letter without the high bit", mem_file(mem_record("PLAIN", 'N', 0, double_bytes(4))),
         listing({{"PLAIN", 4.0}})},
        {"text with L = 6 ending in 0x1A, next record at +38",
         mem_file(mem_record("T", 0xC3, 6, std::string("abcd\x1A\0", 6)) + crlf_next),
         listing({{"T", "abcd"}, {"NEXT", 7.0}})},
        {"text of length L = 1 is empty", mem_file(mem_text("E", "") + crlf_next), listing({{"E", ""}, {"NEXT", 7.0}})},
        {"text of length L = 0 is empty and takes no value bytes",
         mem_file(mem_record("Z", 0xC3, 0, "") + crlf_next), listing({{"Z", ""}, {"NEXT", 7.0}})},
        {"text of 256 + 44 bytes uses byte 17",
         mem_file(mem_text("LONG", std::string(300, 'q')) + crlf_next),
         listing({{"LONG", std::string(300, 'q')}, {"NEXT", 7.0}})},
        {"logical 1, 255 and 0", mem_file(mem_logical("A", 1) + mem_logical("B", 255) + mem_logical("C", 0)),
         listing({{"A", true}, {"B", true}, {"C", false}})},
        {"date 2451545 is 2000-01-01", mem_file(mem_date("D", 2451545)), listing({{"D", ymd(2000, 1, 1)}})},
        {"stored zero date is the empty date", mem_file(mem_date("D", 0)), listing({{"D", Date()}})},
        {"dates outside the day range are empty",
         mem_file(mem_date("NEG", -5) + mem_date("HUGE", 1e300) + mem_date("NAN", std::nan("")) +
                  mem_date("AFTER", Date::kMaxJdn + 1.0)),
         listing({{"NEG", Date()}, {"HUGE", Date()}, {"NAN", Date()}, {"AFTER", Date()}})},
        {"first and last valid days keep their date",
         mem_file(mem_date("FIRST", 1721426) + mem_date("LAST", 5373484)),
         listing({{"FIRST", ymd(1, 1, 1)}, {"LAST", ymd(9999, 12, 31)}})},
        {"unknown type letter A: no variable, next record 40 bytes on",
         mem_file(mem_record("ARR", 0xC1, 0, std::string(8, '\x55')) + mem_number("AFTER", 9)),
         listing({{"AFTER", 9.0}})},
        {"same name twice: both read, in file order", mem_file(mem_number("X", 1) + mem_number("X", 2)),
         listing({{"X", 1.0}, {"X", 2.0}})},
        {"record with an empty name gives no variable",
         mem_file(mem_number("", 1) + mem_number("KEEP", 2)), listing({{"KEEP", 2.0}})},
        {"missing end-of-file byte keeps the last record", mem_number("A", 1) + mem_logical("B", 1),
         listing({{"A", 1.0}, {"B", true}})},
        {"header cut short ends the reading", mem_file(mem_number("A", 1) + std::string("BB\0\0", 4)),
         listing({{"A", 1.0}})},
        {"text value longer than the data ends the reading",
         mem_file(mem_number("A", 1) + mem_record("T", 0xC3, 500, "short")), listing({{"A", 1.0}})},
        {"number value cut short ends the reading",
         mem_number("A", 1) + mem_record("N", 0xCE, 0, "\x01\x02\x03"), listing({{"A", 1.0}})},
        {"logical without its value byte ends the reading", mem_number("A", 1) + mem_record("L", 0xCC, 0, ""),
         listing({{"A", 1.0}})},
    };
}

TEST(LegacyReader, ByteCases) {
    for (auto& c : byte_cases()) EXPECT_EQ(listing(read_legacy_variables(c.bytes)), c.expected) << c.what;
}

TEST(LegacyReader, NumbersKeepEveryBit) {
    for (double d : {42.0, 3.14159, -0.5, 1e-300, 123456789.125, -0.0}) {
        auto vars = read_legacy_variables(mem_file(mem_number("N", d)));
        ASSERT_EQ(vars.size(), 1u);
        EXPECT_EQ(double_bytes(vars[0].value.number()), double_bytes(d)) << d;
    }
}

// Text rules, in their order: a last 0x1A dropped, then CR LF -> 141, 141 LF -> 141, 141 -> CR LF.
TEST(LegacyReader, TextRules) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"A\r\nB", "A\r\nB"},
        {"A\x8D\nB", "A\r\nB"},
        {"A\x8D" "B", "A\r\nB"},
        {"A\nB", "A\nB"},
        {"A\rB", "A\rB"},
        {"\x8D\x8D", "\r\n\r\n"},
        {"A\r\n\nB", "A\r\nB"},   // the CR LF turns into 141 first, which then takes the LF
        {"A\x1A", "A"},
        {"A\x1A\x1A", "A\x1A"},   // only one
        {"A\x1A" "B", "A\x1A" "B"},
        {"\x1A", ""},
        {"", ""},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (auto& c : cases) EXPECT_EQ(clean_legacy_text(c.in), c.out) << quote_bytes(c.in);
}

// For every stored day 2^21 .. 2^22-1 (1029-09-15 .. 6771-07-06) the whole-double decoding gives
// the same day as value bytes 3..6 taken as a signed 32-bit integer B, B / 128 - 6291456.
TEST(LegacyReader, DayNumberMatchesTheFourByteFormulaOverItsRange) {
    long mismatches = 0;
    for (long j = 2097152; j <= 4194303; ++j) {
        std::string b = double_bytes(static_cast<double>(j));
        std::uint32_t u = 0;
        for (int i = 6; i >= 3; --i) u = (u << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
        double formula = static_cast<std::int32_t>(u) / 128.0 - 6291456.0;
        if (formula != static_cast<double>(legacy_day_number(b))) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(LegacyReader, NumToDate) {
    EXPECT_EQ(NUMTODATE(2451545), Date::from_ymd(2000, 1, 1));
    EXPECT_EQ(NUMTODATE(1757585), Date::from_ymd(100, 1, 1));
    EXPECT_EQ(NUMTODATE(2451545.75), Date::from_ymd(2000, 1, 1));
    EXPECT_TRUE(NUMTODATE(0).empty());
    EXPECT_TRUE(NUMTODATE(-6291456).empty());
    EXPECT_TRUE(NUMTODATE(Date::kMinJdn - 1).empty());
    EXPECT_TRUE(NUMTODATE(std::numeric_limits<double>::infinity()).empty());
}

TEST(LegacyReader, GetVarName) {
    const std::string zero(1, '\0');
    EXPECT_EQ(GETVARNAME(zero, std::string("ABC\0\0\0\0\0\0\0", 10), 10), "ABC       ");
    EXPECT_EQ(GETVARNAME(zero, "ABCDEFGHIJ", 10), "ABCDEFGHIJ");
    EXPECT_EQ(GETVARNAME(zero, std::string("\0BC", 3), 10), "          ");
    EXPECT_EQ(GETVARNAME(",", "AB,CD,EF", 4), "AB  ");
    EXPECT_EQ(GETVARNAME("", "ABCDEF", 3), "ABC");
}

}  // namespace
}  // namespace qaro
