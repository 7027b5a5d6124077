#include <gtest/gtest.h>

#include <filesystem>

#include "platform/checksum.h"
#include "platform/file_system.h"
#include "platform/lib_data.h"
#include "platform/table/work_area.h"
#include "screen/kit_fixture.h"
#include "support/sandbox.h"
#include "tools/package.h"
#include "tools/package_format.h"

namespace qaro {
namespace {

using test::Sandbox;

// A package built from members given as (stored path, attributes, content), written to
// C:\CD\QAROVOR.DAT of a fresh sandbox.
class PackageTest : public test::KitTest {
protected:
    struct M {
        std::string path, attrib, bytes;
    };
    void make_package(const std::vector<M>& members) {
        std::vector<package::PackItem> items;
        int i = 0;
        for (auto& m : members) {
            std::string src = "C:\\SRC\\F" + std::to_string(i++);
            box_.write_host('C', "SRC/F" + std::to_string(i - 1), m.bytes);
            package::PackItem it;
            it.source = src;
            it.member.path = m.path;
            it.member.attrib = m.attrib;
            it.member.date = "20030714";
            it.member.time = "130509";
            items.push_back(it);
        }
        std::string err;
        ASSERT_TRUE(fs().make_dir("C:\\CD") || fs().is_dir("C:\\CD"));
        ASSERT_TRUE(fs().make_dir("C:\\T") || fs().is_dir("C:\\T"));
        ASSERT_TRUE(package::write_package("C:\\CD\\QAROVOR.DAT", items, &err)) << err;
    }
    std::string pkg() const { return box_.read_host('C', "CD/QAROVOR.DAT"); }
    void set_pkg(const std::string& bytes, bool fix_sum) {
        std::string b = bytes;
        if (fix_sum) {
            for (int i = 12; i < 16; ++i) b[static_cast<std::size_t>(i)] = '\0';
            b.replace(12, 4, N2BIN(crc32_of(b)));
        }
        box_.write_host('C', "CD/QAROVOR.DAT", b);
    }
    void TearDown() override {
        work_areas().close_all();
        KitTest::TearDown();
    }
    Sandbox box_{"C"};
};

TEST(PackagePathTest, PathFunctions) {
    struct Case {
        const char* in;
        const char* name;
        const char* rel;
    };
    const Case cases[] = {{"_VOR_BAZ\\MASTER.0", "MASTER.0", "_VOR_BAZ\\"}, {"MASTER.0", "MASTER.0", ""},
                          {" .\\_VOR_BAZ\\QAROPL.MEM ", "QAROPL.MEM", "_VOR_BAZ\\"}, {"A\\B\\", "", "A\\B\\"}};
    for (auto& c : cases) {
        EXPECT_EQ(EXTRACT_NAME(c.in), c.name) << c.in;
        EXPECT_EQ(REL_PATH(c.in), c.rel) << c.in;
    }
    using V = std::vector<std::string>;
    EXPECT_EQ(SPLIT_PATH("C:\\A\\B\\C"), (V{"C:\\A\\", "B\\", "C\\"}));
    EXPECT_EQ(SPLIT_PATH("C:\\"), (V{"C:\\"}));
    EXPECT_EQ(SPLIT_PATH("A\\B"), (V{"A\\", "B\\"}));
    EXPECT_EQ(SPLIT_PATH(""), V{});

    struct Safe {
        const char* path;
        bool safe;
    };
    const Safe safety[] = {{"_VOR_BAZ\\MASTER.0", true}, {".\\_VOR_BAZ\\X", true},  {"..\\X", false},
                           {"A\\..\\..\\X", false},       {"\\WINDOWS\\X", false},   {"C:\\X", false},
                           {"C:X", false},                {"\\\\SERVER\\S\\X", false}, {"A/../X", false},
                           {"A\\ .. \\X", false},          {"", false}};
    for (auto& s : safety) EXPECT_EQ(member_path_is_safe(s.path), s.safe) << s.path;
}

TEST_F(PackageTest, ChecksumLengthAndMagic) {
    make_package({{"_VOR_BAZ\\MASTER.0", "", "master"}});
    keys({});
    EXPECT_TRUE(SPRAWDZ_SUME("C:\\CD"));
    EXPECT_TRUE(SPRAWDZ_SUME("C:\\CD\\"));

    std::string good = pkg();
    struct Case {
        const char* what;
        std::string bytes;
        bool fix_sum;
        const char* line2;
    };
    std::string short_length = good;
    short_length.replace(8, 4, N2BIN(static_cast<std::uint32_t>(good.size() - 1)));
    std::string magic = good;
    magic[0] = 'n';
    std::string changed = good;
    changed[good.size() - 2] ^= 1;
    std::vector<Case> cases = {
        {"length one byte short", short_length, true, "została zmieniona."},
        {"wrong magic", magic, true, "została zmieniona."},
        {"changed content", changed, false, "została zmieniona."},
        {"shorter than 16 bytes", good.substr(0, 10), false, "został uszkodzony."},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        set_pkg(c.bytes, c.fix_sum);
        keys({key::kEnter});
        EXPECT_FALSE(SPRAWDZ_SUME("C:\\CD"));
        EXPECT_NE(screen_at_wait(0).find("\"QAROVOR.DAT\""), std::string::npos);
        EXPECT_NE(screen_at_wait(0).find(c.line2), std::string::npos) << screen_at_wait(0);
    }
    keys({key::kEnter});
    EXPECT_FALSE(SPRAWDZ_SUME("C:\\NOWHERE"));
    EXPECT_NE(screen_at_wait(0).find("Brak możliwości otwarcia pliku"), std::string::npos);
    keys({key::kEnter});
    EXPECT_EQ(WLK_FIRMADAT("C:\\CD\\QAROVOR.DAT"), 0.0);   // the 10 bytes left above hold no length
    EXPECT_NE(screen_at_wait(0).find("Wystąpił błąd podczas odczytu pliku z dyskietki."), std::string::npos);
    set_pkg(good, false);
    EXPECT_EQ(WLK_FIRMADAT("C:\\CD\\QAROVOR.DAT"), static_cast<double>(good.size()));
}

TEST_F(PackageTest, ListingAndExtraction) {
    make_package({{"_VOR_BAZ\\MASTER.0", "R", "master archive"},
                  {"_VOR_BAZ\\MASTER.0X", "", "longer name"},
                  {"_VOR_BAZ\\PLACE.EXE", "", "prefix only"},
                  {".\\_VOR_BAZ\\QAROPL.XPF", "HS", "settings"},
                  {"EMPTY.TXT", "", ""},
                  {"_VOR_BAZ\\lower.txt", "", "lower"}});
    keys({});
    ASSERT_TRUE(LISTA_PLIKOW("C:\\CD", "C:\\T"));
    EXPECT_NE(work_areas().find("_files"), nullptr);
    EXPECT_EQ(work_areas().current().record_count(), 6u);
    EXPECT_GT(package_data_offset(), 32u + 128u * 6 - 1);

    int other = work_areas().lowest_unused();
    work_areas().select(other);
    EXPECT_TRUE(EXTRACT_FILE("master.0", "C:\\CD", "C:\\T", "$m.rar"));
    EXPECT_EQ(work_areas().selected(), other);   // the caller's area stays selected
    EXPECT_EQ(box_.read_host('C', "T/_VOR_BAZ/$m.rar"), "master archive");
    auto st = fs().stat("C:\\T\\_VOR_BAZ\\$m.rar");
    EXPECT_EQ(st->attributes & attr::kReadOnly, attr::kReadOnly);
    EXPECT_EQ(st->time.date.dtos(), "20030714");
    EXPECT_EQ(st->time.hms(), "13:05:09");

    EXPECT_TRUE(EXTRACT_FILE("PLACE", "C:\\CD", "C:\\T"));   // a prefix finds the longer name
    EXPECT_EQ(box_.read_host('C', "T/_VOR_BAZ/PLACE"), "prefix only");
    EXPECT_TRUE(EXTRACT_FILE("qaropl.xpf", "C:\\CD", "C:\\T"));
    EXPECT_EQ(box_.read_host('C', "T/_VOR_BAZ/qaropl.xpf"), "settings");
    EXPECT_EQ(fs().stat("C:\\T\\_VOR_BAZ\\QAROPL.XPF")->attributes & (attr::kHidden | attr::kSystem),
              attr::kHidden | attr::kSystem);
    EXPECT_TRUE(EXTRACT_FILE("empty.txt", "C:\\CD", "C:\\T"));
    EXPECT_TRUE(std::filesystem::exists(box_.host('C', "T/empty.txt")));
    EXPECT_EQ(fs().stat("C:\\T\\EMPTY.TXT")->time.date.dtos(), "20030714");
    // Stored in lower case: never found; not an error.
    EXPECT_TRUE(EXTRACT_FILE("lower.txt", "C:\\CD", "C:\\T"));
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "T/_VOR_BAZ/lower.txt")));
    EXPECT_TRUE(EXTRACT_FILE("NOTHERE.0", "C:\\CD", "C:\\T"));
}

TEST_F(PackageTest, DamagedMemberTable) {
    make_package({{"A.TXT", "", "a"}, {"B.TXT", "", "b"}, {"C.TXT", "", "c"}});
    std::string bad = pkg();
    bad.replace(32 + 128 * 2, 8, "FILE0002");   // the third entry's tag
    set_pkg(bad, true);
    keys({key::kEnter});
    EXPECT_FALSE(LISTA_PLIKOW("C:\\CD", "C:\\T"));
    EXPECT_NE(screen_at_wait(0).find("Główny plik instalacyjny jest uszkodzony."), std::string::npos);
    auto* files = work_areas().find("_files");
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->record_count(), 3u);   // two entries and one blank record
    files->go_to(3);
    EXPECT_EQ(rtrim(files->get("SCIEZKA").text()), "");
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "T/_TMP_VOR.NTX")));

    // Only a header: the listing fails with "Błąd!!!" and does not loop.
    set_pkg(pkg().substr(0, 32), false);
    keys({key::kEnter});
    EXPECT_FALSE(LISTA_PLIKOW("C:\\CD", "C:\\T"));
    EXPECT_NE(screen_at_wait(0).find("Błąd!!!"), std::string::npos);
}

TEST_F(PackageTest, MemberLeavingTheDestinationIsRefused) {
    make_package({{"..\\EVIL.TXT", "", "evil"}, {"C:\\ABS.TXT", "", "abs"}});
    keys({});
    ASSERT_TRUE(LISTA_PLIKOW("C:\\CD", "C:\\T"));
    for (const char* name : {"EVIL.TXT", "ABS.TXT"}) {
        keys({key::kEnter});
        EXPECT_FALSE(EXTRACT_FILE(name, "C:\\CD", "C:\\T\\SUB"));
        EXPECT_NE(screen_at_wait(0).find("Niedozwolona ścieżka"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "T/EVIL.TXT")));
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "ABS.TXT")));
}

}  // namespace
}  // namespace qaro
