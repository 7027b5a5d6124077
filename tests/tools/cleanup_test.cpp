#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_system.h"
#include "support/sandbox.h"
#include "tools/cleanup.h"

namespace qaro {
namespace {

using test::Sandbox;

constexpr const char* kLeftovers[] = {"_TMP_VOR.DBF", "_TMP_VOR.NTX", "bis.bat", "winrar.exe",
                                      "default.sfx",  "$dp.rar",      "$do.rar"};

class CleanupTest : public ::testing::Test {
protected:
    // A system directory after an installation: staging and migration trees, the leftover files
    // and the suite's own files, which must stay.
    void installed_leftovers(const std::string& base) {
        for (const char* f : kLeftovers) box_.write_host('C', base + f, "x");
        box_.write_host('C', base + "_VOR_BAZ/MAST.RAR", "x");
        box_.write_host('C', base + "_VOR_BAZ/SUB/DEEP/X.DBF", "x");
        box_.write_host('C', base + "_VOR_BAZ/RO.TXT", "x");
        box_.write_host('C', base + "MODYFIK/PLACE.STM", "x");
        box_.write_host('C', base + "MODYFIK/NOWE/KADRY.DBF", "x");
        box_.write_host('C', base + "PLACE.DBN", "suite");
        box_.write_host('C', base + "QAROPL.XPF", "suite");
        box_.write_host('C', base + "EXE/MAST.EXE", "suite");
        ASSERT_TRUE(fs().set_attributes("C:\\" + dos(base) + "_VOR_BAZ\\RO.TXT", attr::kReadOnly));
    }
    static std::string dos(std::string s) {
        for (auto& c : s)
            if (c == '/') c = '\\';
        return s;
    }
    bool has(const std::string& rel) const { return std::filesystem::exists(box_.host('C', rel)); }

    Sandbox box_{"C"};
};

TEST_F(CleanupTest, RemovesStagingMigrationAndLeftovers) {
    installed_leftovers("FIRMA/");
    EXPECT_TRUE(POSPRZATAJ(Value(Array{Value("PK")}), "C:\\FIRMA\\_VOR_BAZ\\", "C:\\FIRMA\\"));
    EXPECT_TRUE(has("FIRMA/_VOR_BAZ"));   // emptied; the caller removes it
    EXPECT_TRUE(std::filesystem::is_empty(box_.host('C', "FIRMA/_VOR_BAZ")));
    EXPECT_FALSE(has("FIRMA/MODYFIK"));
    for (const char* f : kLeftovers) EXPECT_FALSE(has(std::string("FIRMA/") + f)) << f;
    for (const char* f : {"FIRMA/PLACE.DBN", "FIRMA/QAROPL.XPF", "FIRMA/EXE/MAST.EXE"}) EXPECT_TRUE(has(f)) << f;
}

TEST_F(CleanupTest, EmptyStagingArgumentDeletesNoTree) {
    installed_leftovers("FIRMA/");
    EXPECT_TRUE(POSPRZATAJ(Value(), "", "C:\\FIRMA\\"));
    EXPECT_TRUE(has("FIRMA/_VOR_BAZ/SUB/DEEP/X.DBF"));
    EXPECT_FALSE(has("FIRMA/MODYFIK"));
    for (const char* f : kLeftovers) EXPECT_FALSE(has(std::string("FIRMA/") + f)) << f;
}

TEST_F(CleanupTest, FilesThatCannotBeDeletedStaySilently) {
    installed_leftovers("FIRMA/");
    ASSERT_TRUE(fs().set_attributes("C:\\FIRMA\\winrar.exe", attr::kReadOnly));
    EXPECT_TRUE(POSPRZATAJ(Value(), "C:\\FIRMA\\_VOR_BAZ\\", "C:\\FIRMA\\"));
    EXPECT_TRUE(has("FIRMA/winrar.exe"));
    EXPECT_FALSE(has("FIRMA/default.sfx"));   // the files after it are still deleted
    EXPECT_FALSE(has("FIRMA/$do.rar"));
    EXPECT_FALSE(has("FIRMA/MODYFIK"));
}

TEST_F(CleanupTest, UnknownSystemDirectoryTouchesNothing) {
    // The current directory holds the same names; without a system directory none is ours.
    installed_leftovers("");
    EXPECT_TRUE(POSPRZATAJ(Value(), "", ""));
    EXPECT_TRUE(POSPRZATAJ(Value(), "_VOR_BAZ\\", "  "));
    EXPECT_TRUE(has("MODYFIK/PLACE.STM"));
    EXPECT_TRUE(has("_VOR_BAZ/MAST.RAR"));
    for (const char* f : kLeftovers) EXPECT_TRUE(has(f)) << f;
}

TEST_F(CleanupTest, NothingToRemove) {
    std::filesystem::create_directories(box_.host('C', "FIRMA"));
    box_.write_host('C', "FIRMA/PLACE.DBN", "suite");
    EXPECT_TRUE(POSPRZATAJ(Value(), "C:\\FIRMA\\_VOR_BAZ\\", "C:\\FIRMA\\"));
    EXPECT_TRUE(has("FIRMA/PLACE.DBN"));
    EXPECT_FALSE(has("FIRMA/_VOR_BAZ"));
}

TEST_F(CleanupTest, DeleteFilesByMask) {
    struct Case {
        const char* mask;
        std::vector<const char*> gone, kept;
    } cases[] = {
        {"*.*", {"A.TXT", "B.DAT", "C"}, {"SUB/D.TXT", "RO.TXT"}},
        {"*.txt", {"A.TXT"}, {"B.DAT", "C", "SUB/D.TXT", "RO.TXT"}},
        {"*.XYZ", {}, {"A.TXT", "B.DAT", "C", "SUB/D.TXT", "RO.TXT"}},   // no match: nothing happens
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(box_.host('C', "FIRMA"));
        for (const char* f : {"A.TXT", "B.DAT", "C", "SUB/D.TXT", "RO.TXT"}) box_.write_host('C', std::string("FIRMA/PIT/") + f, "x");
        ASSERT_TRUE(fs().set_attributes("C:\\FIRMA\\PIT\\RO.TXT", attr::kReadOnly));
        DELFILE("C:\\FIRMA\\PIT\\", c.mask);
        for (const char* f : c.gone) EXPECT_FALSE(has(std::string("FIRMA/PIT/") + f)) << c.mask << " " << f;
        for (const char* f : c.kept) EXPECT_TRUE(has(std::string("FIRMA/PIT/") + f)) << c.mask << " " << f;
        EXPECT_TRUE(has("FIRMA/PIT/SUB"));   // subdirectories are never entered or removed
    }
    DELFILE("C:\\NIEMA\\", "*.*");   // a missing directory is nothing to do
}

}  // namespace
}  // namespace qaro
