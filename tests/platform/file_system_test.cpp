#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"
#include "platform/wildcard.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

using test::Sandbox;

// The sandbox stands in C:\FIRMA; drive D: has its own current directory (root).
class PathTest : public ::testing::Test {
protected:
    PathTest() : box_("CD", "FIRMA") {
        box_.write_host('C', "FIRMA/PLACE.DBF", "x");
        box_.write_host('C', "Exe/Mast.exe", "y");
        box_.write_host('D', "dysk_1", "CD");
    }
    Sandbox box_;
};

TEST_F(PathTest, ResolvesDosPathsToHostPaths) {
    struct Case {
        const char* dos;
        const char* host_rel;   // below the sandbox root; nullptr: must not resolve
        const char* full;
    };
    const Case cases[] = {
        {"C:\\FIRMA\\PLACE.DBF", "C/FIRMA/PLACE.DBF", "C:\\FIRMA\\PLACE.DBF"},
        {"c:\\firma\\place.dbf", "C/FIRMA/PLACE.DBF", "C:\\firma\\place.dbf"},    // case-insensitive look-up
        {"PLACE.DBF", "C/FIRMA/PLACE.DBF", "C:\\FIRMA\\PLACE.DBF"},              // relative to C:\FIRMA
        {"C:PLACE.DBF", "C/FIRMA/PLACE.DBF", "C:\\FIRMA\\PLACE.DBF"},            // drive-relative
        {"\\EXE\\MAST.EXE", "C/Exe/Mast.exe", "C:\\EXE\\MAST.EXE"},              // root of current drive
        {"..\\exe\\mast.exe", "C/Exe/Mast.exe", "C:\\exe\\mast.exe"},
        {"D:DYSK_1", "D/dysk_1", "D:\\DYSK_1"},                                    // D: stands at its root
        {"D:\\NOWY\\Plik.Txt", "D/NOWY/Plik.Txt", "D:\\NOWY\\Plik.Txt"},           // new names keep their case
        {"C:\\..\\..\\FIRMA", "C/FIRMA", "C:\\FIRMA"},                             // never above the root
        {"Q:\\X.DBF", nullptr, nullptr},                                          // unmapped drive
        {"\\\\SERVER\\SHARE\\X", nullptr, nullptr},                               // UNC name
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.dos);
        auto h = fs().host_path(c.dos);
        if (!c.host_rel) {
            EXPECT_FALSE(h.has_value());
            EXPECT_NE(fs().last_error(), 0);
            continue;
        }
        ASSERT_TRUE(h.has_value());
        EXPECT_EQ(*h, box_.root() + "/" + c.host_rel);
        EXPECT_EQ(fs().full_path(c.dos), c.full);
    }
}

TEST_F(PathTest, UnmappedDriveIsAnErrorNotAWriteElsewhere) {
    EXPECT_EQ(fs().create("Q:\\X.DBF"), nullptr);
    EXPECT_EQ(fs().last_error(), doserr::kInvalidDrive);
    EXPECT_FALSE(fs().make_dir("Q:\\NEW"));
    EXPECT_FALSE(fs().write_atomic("Q:\\X.XPF", "abc"));
    EXPECT_FALSE(fs().drive_available('Q'));
    EXPECT_FALSE(fs().set_current_drive('Q'));
    EXPECT_EQ(fs().current_drive(), 'C');
}

TEST_F(PathTest, EachDriveKeepsItsCurrentDirectory) {
    EXPECT_EQ(fs().current_drive(), 'C');
    EXPECT_EQ(fs().current_dir(), "FIRMA");
    ASSERT_TRUE(fs().make_dir("D:\\INST"));
    ASSERT_TRUE(fs().change_dir("D:\\inst"));
    EXPECT_EQ(fs().current_dir('D'), "INST");   // letter case as on disk
    EXPECT_EQ(fs().current_drive(), 'C');       // changing D's directory does not change drive
    ASSERT_TRUE(fs().set_current_drive('d'));
    EXPECT_EQ(fs().full_path("X.TXT"), "D:\\INST\\X.TXT");
    EXPECT_EQ(fs().full_path("C:X.TXT"), "C:\\FIRMA\\X.TXT");
    EXPECT_FALSE(fs().change_dir("D:\\MISSING"));
    EXPECT_EQ(fs().last_error(), doserr::kPathNotFound);
}

TEST(WildcardTest, MatchesLikeDos) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.*", "PLACE.DBF", true},   {"*.*", "README", true},        {"*.*", ".", true},
        {"*.CDX", "place.cdx", true}, {"*.CDX", "PLACE.CDXX", false}, {"*.cdx", "CDX", false},
        {"*.MEM", "konfig.Mem", true}, {"A?C.*", "ABC.TXT", true},    {"A?C.*", "AC.TXT", false},
        {"*", "ANY.THING", true},     {"*.", "NOEXT", true},          {"*.", "HAS.EXT", false},
        {"PIK*", "pikheader", true},  {"ZSX_*", "zsx_1", true},       {"ZSX_*", "ZSX1", false},
        {"inst_*", "INST_A", true},   {"symbol_*", "SYMBOL_", true},  {"DYSK_?", "DYSK_12", false},
    };
    for (auto& c : cases) EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST(ListingTest, FiltersByAttributesAndShowsDotEntries) {
    Sandbox box("C");
    box.write_host('C', "SYS/plain.txt", "1");
    box.write_host('C', "SYS/hidden.txt", "22");
    box.write_host('C', "SYS/system.txt", "333");
    box.write_host('C', "SYS/ro.txt", "4444");
    box.write_host('C', "SYS/SUB/deep.txt", "5");
    ASSERT_TRUE(fs().set_attributes("C:\\SYS\\HIDDEN.TXT", attr::kHidden));
    ASSERT_TRUE(fs().set_attributes("C:\\SYS\\SYSTEM.TXT", attr::kSystem | attr::kArchive));
    ASSERT_TRUE(fs().set_attributes("C:\\SYS\\RO.TXT", attr::kReadOnly));

    auto names = [](const std::vector<DirEntry>& v) {
        std::string s;
        for (auto& e : v) s += e.name + "[" + attr::to_letters(e.attributes) + "] ";
        return s;
    };
    struct Case {
        const char* pattern;
        unsigned include;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\SYS\\*.*", 0, "plain.txt[] ro.txt[R] "},
        {"C:\\SYS\\*.*", attr::kHidden, "hidden.txt[H] plain.txt[] ro.txt[R] "},
        {"C:\\SYS\\*.*", attr::kHidden | attr::kSystem | attr::kDirectory,
         ".[D] ..[D] hidden.txt[H] plain.txt[] ro.txt[R] SUB[D] system.txt[SA] "},
        {"C:\\SYS\\*.TXT", attr::kSystem, "plain.txt[] ro.txt[R] system.txt[SA] "},
        {"C:\\*.*", attr::kDirectory, "SYS[D] "},   // the root has no dot entries
        {"C:\\SYS\\NONE*.*", attr::kDirectory, ""},
    };
    for (auto& c : cases) EXPECT_EQ(names(fs().list(c.pattern, c.include)), c.expected) << c.pattern;

    auto e = fs().stat("c:\\sys\\RO.TXT");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->size, 4u);
    EXPECT_EQ(e->name, "ro.txt");
}

TEST(ReadOnlyTest, ReadOnlyFileCannotBeChangedUntilCleared) {
    Sandbox box("C");
    box.write_host('C', "RO.DBF", "keep");
    box.write_host('C', "NEW.DBF", "new");
    ASSERT_TRUE(fs().set_attributes("C:\\RO.DBF", attr::kReadOnly));

    EXPECT_FALSE(fs().remove_file("C:\\RO.DBF"));
    EXPECT_EQ(fs().last_error(), doserr::kAccessDenied);
    EXPECT_EQ(fs().create("C:\\RO.DBF"), nullptr);
    EXPECT_EQ(fs().open("C:\\RO.DBF", OpenMode::ReadWrite), nullptr);
    EXPECT_FALSE(fs().copy_file("C:\\NEW.DBF", "C:\\RO.DBF", true));
    EXPECT_FALSE(fs().replace("C:\\NEW.DBF", "C:\\RO.DBF"));
    EXPECT_FALSE(fs().write_atomic("C:\\RO.DBF", "over"));
    EXPECT_EQ(box.read_host('C', "RO.DBF"), "keep");
    EXPECT_NE(fs().open("C:\\RO.DBF", OpenMode::Read), nullptr);

    // Attributes live on disk: a second file-system object (as another process would) sees them.
    PosixFileSystem other({{'C', box.host('C')}}, box.host('C'));
    EXPECT_EQ(other.stat("C:\\RO.DBF")->attributes & attr::kReadOnly, attr::kReadOnly);

    ASSERT_TRUE(fs().set_attributes("C:\\RO.DBF", attr::kArchive));
    EXPECT_TRUE(fs().write_atomic("C:\\RO.DBF", "over"));
    EXPECT_EQ(box.read_host('C', "RO.DBF"), "over");
    EXPECT_TRUE(fs().remove_file("C:\\RO.DBF"));
}

TEST(FileTest, LocksConflictLikeShareModes) {
    Sandbox box("C");
    box.write_host('C', "T.DBF", "data");
    auto a = fs().open("C:\\T.DBF", OpenMode::ReadWrite);
    auto b = fs().open("C:\\T.DBF", OpenMode::ReadWrite);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->lock(LockMode::Exclusive));
    EXPECT_FALSE(b->lock(LockMode::Shared));
    EXPECT_EQ(b->last_error(), doserr::kSharingViolation);
    a->close();
    EXPECT_TRUE(b->lock(LockMode::Shared));
    auto c = fs().open("C:\\T.DBF", OpenMode::Read);
    EXPECT_TRUE(c->lock(LockMode::Shared));
    EXPECT_FALSE(fs().open("C:\\T.DBF", OpenMode::ReadWrite)->lock(LockMode::Exclusive));
}

TEST(FileTest, TimesCopiesAndRenames) {
    Sandbox box("C");
    box.write_host('C', "A.TXT", "alpha");
    FileTime t{Date::from_ymd(2003, 7, 14), 13 * 3600 + 5 * 60 + 9};
    ASSERT_TRUE(fs().set_file_time("C:\\A.TXT", t));
    auto st = fs().stat("C:\\A.TXT");
    EXPECT_EQ(st->time.date, t.date);
    EXPECT_EQ(st->time.hms(), "13:05:09");

    ASSERT_TRUE(fs().copy_file("C:\\A.TXT", "C:\\B.TXT", false));
    EXPECT_EQ(box.read_host('C', "B.TXT"), "alpha");
    EXPECT_EQ(fs().stat("C:\\B.TXT")->time.date, t.date);   // the copy keeps date and time
    EXPECT_FALSE(fs().copy_file("C:\\A.TXT", "C:\\B.TXT", false));
    EXPECT_EQ(fs().last_error(), doserr::kFileExists);
    EXPECT_FALSE(fs().copy_file("C:\\MISSING", "C:\\C.TXT", true));
    EXPECT_EQ(fs().last_error(), doserr::kFileNotFound);
    EXPECT_FALSE(fs().copy_file("C:\\A.TXT", "C:\\NODIR\\C.TXT", true));
    EXPECT_FALSE(fs().exists("C:\\NODIR"));

    EXPECT_FALSE(fs().rename("C:\\A.TXT", "C:\\B.TXT"));   // target exists
    EXPECT_TRUE(fs().rename("C:\\A.TXT", "C:\\a.txt"));    // a change of letter case only
    EXPECT_TRUE(std::filesystem::exists(box.host('C', "a.txt")));
    // No temporary files are left behind by copies and atomic writes.
    EXPECT_TRUE(fs().list("C:\\~Q*.TMP").empty());
}

}  // namespace
}  // namespace qaro
