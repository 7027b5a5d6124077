#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "platform/checksum.h"
#include "platform/cipher.h"
#include "platform/file_system.h"
#include "platform/lib_data.h"
#include "platform/lib_files.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

TEST(ChecksumTest, KnownFileWithAndWithoutStoredBytes) {
    test::Sandbox box("C");
    box.write_host('C', "NINE", "123456789");
    auto f = fs().open("C:\\NINE", OpenMode::Read);
    EXPECT_EQ(LICZSUME(*f, 9, false), 0xCBF43926u);   // the published CRC-32 check value
    EXPECT_EQ(LICZSUME(*f, 9, true), 0xCBF43926u);    // shorter than the stored field

    std::string pkg(64, 'a');
    box.write_host('C', "PKG", pkg);
    std::string masked = pkg;
    for (int i = 12; i < 16; ++i) masked[i] = '\0';
    auto g = fs().open("C:\\PKG", OpenMode::Read);
    EXPECT_EQ(LICZSUME(*g, 64, true), crc32_of(masked));
    EXPECT_EQ(LICZSUME(*g, 64, false), crc32_of(pkg));
    EXPECT_EQ(LICZSUME(*g, 65, true), std::nullopt);   // past the end: not a checksum
}

// The fast path must give zlib's CRC-32 for every length, alignment and split of the input.
TEST(ChecksumTest, AgreesWithZlibEverywhere) {
    std::mt19937 rng(7);
    std::string data(70000, '\0');
    for (auto& c : data) c = static_cast<char>(rng());
    auto zlib = [](std::string_view s) {
        return static_cast<std::uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
    };
    for (std::size_t len = 0; len <= 600; ++len)
        for (std::size_t off : {0u, 1u, 7u, 15u})
            ASSERT_EQ(crc32_of(std::string_view(data).substr(off, len)), zlib(std::string_view(data).substr(off, len)))
                << len << "@" << off;
    for (std::size_t len : {4095u, 4096u, 65536u, 69999u}) {
        std::string_view v = std::string_view(data).substr(1, len);
        std::uint32_t split = crc32_update(crc32_update(0, v.data(), len / 3), v.data() + len / 3, len - len / 3);
        EXPECT_EQ(split, zlib(v)) << len;
        EXPECT_EQ(crc32_of(v), zlib(v)) << len;
    }
}

// A package large enough to be summed in two halves gives the same sum as in one piece.
TEST(ChecksumTest, LargeFileSummedInHalves) {
    test::Sandbox box("C");
    std::mt19937 rng(11);
    std::string data((20u << 20) + 12345, '\0');
    for (std::size_t i = 0; i < data.size(); i += 4096) data[i] = static_cast<char>(rng());
    box.write_host('C', "BIG.DAT", data);
    std::string masked = data;
    for (int i = 12; i < 16; ++i) masked[static_cast<std::size_t>(i)] = '\0';
    auto f = fs().open("C:\\BIG.DAT", OpenMode::Read);
    EXPECT_EQ(LICZSUME(*f, data.size(), true), crc32_of(masked));
    EXPECT_EQ(LICZSUME(*f, data.size(), false), crc32_of(data));
    EXPECT_EQ(LICZSUME(*f, data.size() - 1, false), crc32_of(std::string_view(data).substr(0, data.size() - 1)));
    EXPECT_EQ(LICZSUME(*f, data.size() + 1, false), std::nullopt);
}

TEST(CipherTest, ReversibleLengthPreservingAndNeverBlank) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (int shift = 0; shift < 40; ++shift) {
        std::string s = all.substr(static_cast<std::size_t>(shift)) + all.substr(0, static_cast<std::size_t>(shift));
        EXPECT_EQ(SZYFR(ZASZYFR(s)), s);
        EXPECT_EQ(ZASZYFR(s).size(), s.size());
    }
    for (std::size_t n : {1u, 25u, 80u, 800u}) {
        std::string coded = ZASZYFR(std::string(n, ' '));
        EXPECT_EQ(coded.find(' '), std::string::npos) << n;
        EXPECT_NE(rtrim(coded), "");
    }
    EXPECT_NE(ZASZYFR("Firma"), "Firma");
}

TEST(LibraryTest, DataHelpers) {
    EXPECT_EQ(N2BIN("FFFFFFFE", 4), std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(BIN2N(N2BIN("FFFFFFFE", 4)), 4294967294.0);
    EXPECT_EQ(BIN2N(std::string("\x10\x27\0\0", 4)), 10000.0);
    EXPECT_EQ(N2BIN(std::uint32_t{1234567}), std::string("\x87\xD6\x12\0", 4));
    EXPECT_EQ(STOD("20240229").dtos(), "20240229");
    EXPECT_TRUE(STOD("20230229").empty());
    EXPECT_TRUE(STOD("        ").empty());
    EXPECT_EQ(E_INT(-3.7), -3);
    EXPECT_EQ(E_INT(3.7), 3);
    Array a{Value("AB"), Value("A"), Value(5)};
    EXPECT_EQ(ASCAN_EXACT(a, Value("A")), 2u);   // no prefix match on "AB"
    EXPECT_EQ(ASCAN_EXACT(a, Value(5)), 3u);
    EXPECT_EQ(ASCAN_EXACT(a, Value("B")), 0u);
    EXPECT_EQ(ASCAN_EXACT(a, [](const Value& v) { return v.is_number(); }), 3u);
}

TEST(LibraryTest, VariableFileNames) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"master.mem", "master.xpf"}, {"MASTER.MEM", "MASTER.XPF"},
                          {"C:\\Q\\konfig.Mem", "C:\\Q\\konfig.Xpf"}, {"ZAS.ZUS", "ZAS.ZUS"}, {"instal", "instal"}};
    for (auto& c : cases) EXPECT_EQ(FMEMORXPF(c.in), c.out);
    EXPECT_EQ(MEMORXPF(), ".xpf");
}

TEST(LibraryTest, DirectoriesAndFiles) {
    test::Sandbox box("CA");
    EXPECT_EQ(MAKEDIR("C:\\QARO\\"), 0);
    EXPECT_NE(MAKEDIR("C:\\NO\\SUCH\\DIR"), 0);
    EXPECT_TRUE(ISDIR("C:\\QARO\\"));
    EXPECT_TRUE(CHANGEDIR("C:\\QARO"));
    EXPECT_EQ(DISKNAME() + ":" + E_DIRNAME(), "C:\\QARO");
    EXPECT_TRUE(CHANGEDISK("A:"));
    EXPECT_EQ(DISKNAME() + ":" + E_DIRNAME(), "A:\\");
    EXPECT_FALSE(CHANGEDISK('Q'));
    EXPECT_EQ(DISKNAME(), "A");

    box.write_host('A', "p1", "abc");
    box.write_host('A', "p2", "defg");
    EXPECT_EQ(E_FILEAPPEND("A:\\p1", "C:\\QARO\\JOINED", true), 3);
    EXPECT_EQ(E_FILEAPPEND("A:\\p2", "C:\\QARO\\JOINED", true), 4);
    EXPECT_EQ(box.read_host('C', "QARO/JOINED"), "abcdefg");
    EXPECT_EQ(E_FILEAPPEND("A:\\p3", "C:\\QARO\\JOINED", true), -1);
    EXPECT_NE(E_FILEERROR(), 0);

    box.write_host('C', "QARO/X.CDX", "");
    box.write_host('C', "QARO/Y.cdx", "");
    box.write_host('C', "QARO/SUB/Z.CDX", "");
    EXPECT_EQ(TABFILES("C:\\QARO\\*.CDX").size(), 2u);
    EXPECT_EQ(E_FILEDELETE("C:\\QARO\\*.CDX"), 2);
    EXPECT_EQ(E_FILEERROR(), 0);

    EXPECT_TRUE(E_SETFDATI("C:\\QARO\\JOINED", "19991231", "23:59:58"));
    EXPECT_EQ(fs().stat("C:\\QARO\\JOINED")->time.date.dtos(), "19991231");
    EXPECT_FALSE(E_SETFDATI("C:\\QARO\\JOINED", "19991331", "23:59:58"));
    EXPECT_TRUE(E_SETFATTR("C:\\QARO\\JOINED", 1 + 32));
    EXPECT_TRUE(DELSTRUCT("C:\\QARO\\"));   // clears read-only files too
    EXPECT_TRUE(fs().list("C:\\QARO\\*.*", attr::kDirectory | attr::kHidden | attr::kSystem).size() == 2);
    EXPECT_TRUE(E_REMDIR("C:\\QARO\\"));
    EXPECT_FALSE(ISDIR("C:\\QARO"));
}

TEST(ValueTest, DatesAndNumbers) {
    struct Case {
        int y, m, d;
        long jdn;
    };
    const Case cases[] = {{2000, 1, 1, 2451545}, {1999, 12, 31, 2451544}, {2024, 2, 29, 2460370},
                          {1900, 1, 1, 2415021}, {1, 1, 1, 1721426},      {9999, 12, 31, 5373484}};
    for (auto& c : cases) {
        EXPECT_EQ(Date::from_ymd(c.y, c.m, c.d).jdn(), c.jdn);
        int y, m, d;
        Date::from_jdn(c.jdn).ymd(y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    EXPECT_TRUE(Date::from_jdn(0).empty());
    EXPECT_TRUE(Date::from_jdn(-6291456).empty());
    EXPECT_TRUE(Date::from_jdn(Date::kMaxJdn + 1).empty());
    EXPECT_EQ(Date::from_ymd(2000, 1, 1).dtoc(), "01.01.00");
    EXPECT_EQ(str_number(1234.5, 10, 2), "   1234.50");
    EXPECT_EQ(str_number(123456, 5, 0), "*****");
    EXPECT_EQ(str_number(-1.5, 4, 1), "-1.5");
    EXPECT_EQ(number_text(3.14159), "3.14159");
    EXPECT_EQ(number_text(42), "42");
}

}  // namespace
}  // namespace qaro
