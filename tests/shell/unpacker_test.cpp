#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "platform/file_system.h"
#include "platform/shell/archive_writer.h"
#include "platform/shell/command_interpreter.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

using test::ArchiveFormat;
using test::Sandbox;
using test::TestMember;

const char* format_name(ArchiveFormat f) {
    switch (f) {
        case ArchiveFormat::Zip: return "zip";
        case ArchiveFormat::TarGz: return "tar.gz";
        case ArchiveFormat::Tar: return "tar";
        case ArchiveFormat::SevenZip: return "7z";
    }
    return "?";
}

// The sandbox stands in C:\QARO, where the batches and archives are staged.
class UnpackerTest : public ::testing::Test {
protected:
    UnpackerTest() : box_("CA", "QARO") {}
    std::string here(const std::string& rel) const { return box_.host('C', "QARO/" + rel); }
    bool exists_here(const std::string& rel) const { return std::filesystem::exists(here(rel)); }
    std::string read_here(const std::string& rel) const { return box_.read_host('C', "QARO/" + rel); }
    void put(const std::string& rel, const std::string& bytes) const { box_.write_host('C', "QARO/" + rel, bytes); }
    int run(const std::string& command) {
        console_.clear();
        return run_command_interpreter("/C " + command, &console_);
    }
    // Every file under the sandbox (both drives), as "C/QARO/x".
    std::set<std::string> all_files() const {
        std::set<std::string> out;
        for (auto& e : std::filesystem::recursive_directory_iterator(box_.root()))
            if (!e.is_directory()) out.insert(std::filesystem::relative(e.path(), box_.root()).string());
        return out;
    }

    static std::vector<TestMember> sample_members() {
        return {
            {"EXE/", "", TestMember::Dir},
            {"EXE/MAST.EXE", "MZ master program"},
            {"place.dbn", std::string(70000, 'p')},   // more than one read block
            {"MODYFIK/", "", TestMember::Dir},
            {"MODYFIK/M1.DBF", "m1"},
            {"MODYFIK/SUB/M2.TXT", "m2"},   // its directory has no member of its own
        };
    }

    Sandbox box_;
    std::string console_;
};

TEST_F(UnpackerTest, ExtractsWithPathsWhateverTheFormatAndName) {
    for (auto format : {ArchiveFormat::Zip, ArchiveFormat::TarGz, ArchiveFormat::Tar, ArchiveFormat::SevenZip}) {
        SCOPED_TRACE(format_name(format));
        Sandbox box("CA", "QARO");
        box.write_host('C', "QARO/$m.rar", test::build_archive(format, sample_members()));
        std::string console;
        ASSERT_EQ(run_command_interpreter("/C winrar x -y -ibck $m.rar", &console), 0) << console;
        EXPECT_EQ(box.read_host('C', "QARO/EXE/MAST.EXE"), "MZ master program");
        EXPECT_EQ(box.read_host('C', "QARO/place.dbn"), std::string(70000, 'p'));
        EXPECT_EQ(box.read_host('C', "QARO/MODYFIK/M1.DBF"), "m1");
        EXPECT_EQ(box.read_host('C', "QARO/MODYFIK/SUB/M2.TXT"), "m2");
        // Member dates come back, for files and for directories.
        for (const char* p : {"C:\\QARO\\EXE\\MAST.EXE", "C:\\QARO\\place.dbn", "C:\\QARO\\MODYFIK"}) {
            auto st = fs().stat(p);
            ASSERT_TRUE(st) << p;
            EXPECT_EQ(st->time.date.dtos(), "20210304") << p;
            EXPECT_EQ(st->time.hms(), "05:06:08") << p;
        }
        auto st = fs().stat("C:\\QARO\\place.dbn");
        EXPECT_FALSE(st->attributes & attr::kReadOnly);
        // No temporary file is left behind.
        for (auto& e : fs().list("C:\\QARO\\*.TMP")) ADD_FAILURE() << e.name;
    }
}

TEST_F(UnpackerTest, ExtractWithoutPathsAndTheWaysOfNamingTheProgram) {
    put("$P.rar", test::build_archive(ArchiveFormat::Zip, sample_members()));
    struct Case {
        const char* command;
        const char* dir;   // below C:\QARO where the files land
    };
    const Case cases[] = {
        {"winrar e -o+ $P.rar OUT\\", "OUT"},
        {"WINRAR.EXE e -y $P.rar A:\\", "../../A"},
        {"C:\\QARO\\winrar.exe e -o+ -inul $P.rar NEW\\DEEP\\", "NEW/DEEP"},   // missing directories are made
        {"winrar e -o+ $P OUT2\\", "OUT2"},                                    // ".rar" added to a bare name
    };
    for (auto& c : cases) {
        EXPECT_EQ(run(c.command), 0) << c.command << "\n" << console_;
        std::string d = std::string(c.dir) + "/";
        EXPECT_EQ(read_here(d + "MAST.EXE"), "MZ master program") << c.command;
        EXPECT_EQ(read_here(d + "M2.TXT"), "m2") << c.command;
        EXPECT_FALSE(exists_here(d + "EXE")) << c.command;
        EXPECT_FALSE(exists_here(d + "MODYFIK")) << c.command;
    }
}

TEST_F(UnpackerTest, MasksSelectMembers) {
    put("$m.rar", test::build_archive(ArchiveFormat::Zip, sample_members()));
    EXPECT_EQ(run("winrar x -o+ $m.rar *.dbn MODYFIK\\*.DBF"), 0) << console_;
    EXPECT_TRUE(exists_here("place.dbn"));
    EXPECT_TRUE(exists_here("MODYFIK/M1.DBF"));
    EXPECT_FALSE(exists_here("EXE/MAST.EXE"));
    EXPECT_FALSE(exists_here("MODYFIK/SUB/M2.TXT"));
    EXPECT_EQ(run("winrar x -o+ $m.rar *.XYZ"), 10);   // nothing to extract
}

TEST_F(UnpackerTest, OverwriteSwitches) {
    put("$m.rar", test::build_archive(ArchiveFormat::Zip, {{"A.TXT", "new"}, {"B.TXT", "b"}}));
    struct Case {
        const char* switches;
        bool read_only;
        int errorlevel;
        const char* content;
    };
    const Case cases[] = {
        {"-o+", false, 0, "new"},
        {"-y", false, 0, "new"},
        {"-o- -ibck", false, 0, "old"},   // skipped on purpose
        {"", false, 1, "old"},            // nobody to ask: not overwritten, and said so
        {"-o+", true, 9, "old"},          // read-only file in the way, as on DOS
        {"-y", true, 9, "old"},
    };
    for (auto& c : cases) {
        std::string label = std::string(c.switches) + (c.read_only ? " read-only" : "");
        fs().set_attributes("C:\\QARO\\A.TXT", 0);
        put("A.TXT", "old");
        if (c.read_only) {
            ASSERT_TRUE(fs().set_attributes("C:\\QARO\\A.TXT", attr::kReadOnly));
        }
        EXPECT_EQ(run(std::string("winrar x ") + c.switches + " $m.rar"), c.errorlevel) << label << "\n" << console_;
        EXPECT_EQ(read_here("A.TXT"), c.content) << label;
        EXPECT_EQ(read_here("B.TXT"), "b") << label;   // the other member is not held up
        EXPECT_EQ(fs().stat("C:\\QARO\\A.TXT")->attributes & attr::kReadOnly, c.read_only ? attr::kReadOnly : 0u) << label;
    }
}

TEST_F(UnpackerTest, ReadOnlyMembersArriveReadOnly) {
    TestMember ro{"RO.DBF", "locked"};
    ro.perm = 0444;
    put("$m.rar", test::build_archive(ArchiveFormat::Zip, {ro, {"RW.DBF", "free"}}));
    ASSERT_EQ(run("winrar x -y $m.rar"), 0) << console_;
    EXPECT_TRUE(fs().stat("C:\\QARO\\RO.DBF")->attributes & attr::kReadOnly);
    EXPECT_FALSE(fs().stat("C:\\QARO\\RW.DBF")->attributes & attr::kReadOnly);
    EXPECT_FALSE(fs().remove_file("C:\\QARO\\RO.DBF"));
    // A second run meets the read-only file and leaves it alone.
    EXPECT_NE(run("winrar x -y $m.rar"), 0);
    EXPECT_EQ(read_here("RO.DBF"), "locked");
}

TEST_F(UnpackerTest, RefusesMembersLeavingTheDestination) {
    for (auto format : {ArchiveFormat::Zip, ArchiveFormat::Tar, ArchiveFormat::SevenZip}) {
        SCOPED_TRACE(format_name(format));
        Sandbox box("CA", "QARO/DEST");
        std::filesystem::create_directories(box.host('C', "QARO/DEST"));
        std::vector<TestMember> members = {
            {"../evil1.txt", "x"},
            {"..\\evil2.txt", "x"},
            {"SUB/../../evil3.txt", "x"},
            {"/tmp/qaro-evil4.txt", "x"},
            {"\\evil5.txt", "x"},
            {"C:\\evil6.txt", "x"},
            {"A:evil7.txt", "x"},
            {"\\\\server\\share\\evil8.txt", "x"},
            {"good.txt", "fine"},
        };
        if (format != ArchiveFormat::SevenZip)   // 7z keeps no links
            members.push_back({"link", "", TestMember::Symlink, 0777, 0, "/tmp"});
        if (format == ArchiveFormat::Tar)   // only tar keeps hard links
            members.push_back({"hard.txt", "", TestMember::HardLink, 0644, 0, "../evil1.txt"});
        box.write_host('C', "QARO/$m.rar", test::build_archive(format, members));
        std::string console;
        EXPECT_GT(run_command_interpreter("/C winrar x -y ..\\$m.rar", &console), 0) << console;
        EXPECT_EQ(box.read_host('C', "QARO/DEST/good.txt"), "fine");
        std::set<std::string> files;
        for (auto& e : std::filesystem::recursive_directory_iterator(box.root()))
            if (!e.is_directory() || e.is_symlink()) files.insert(std::filesystem::relative(e.path(), box.root()).string());
        EXPECT_EQ(files, (std::set<std::string>{"C/QARO/$m.rar", "C/QARO/DEST/good.txt"})) << console;
        EXPECT_FALSE(std::filesystem::exists("/tmp/qaro-evil4.txt"));
        EXPECT_NE(console.find("evil1.txt"), std::string::npos) << console;   // the refusal names the member
    }
}

// The maker's ZIP writer and the unpacker agree on paths, dates and the read-only attribute.
TEST_F(UnpackerTest, ArchivesOfTheZipWriterRoundTrip) {
    FileTime when{Date::from_ymd(2020, 12, 31), 23 * 3600 + 59 * 60 + 58};
    std::string error;
    ASSERT_TRUE(shell::write_zip("C:\\QARO\\MASTER.0", {{"EXE\\MAST.EXE", "program", when, true}, {"place.dbn", "cat", when, false}},
                                 &error)) << error;
    ASSERT_EQ(run("winrar x -y MASTER.0 SYS\\"), 0) << console_;
    EXPECT_EQ(read_here("SYS/EXE/MAST.EXE"), "program");
    auto st = fs().stat("C:\\QARO\\SYS\\EXE\\MAST.EXE");
    ASSERT_TRUE(st);
    EXPECT_TRUE(st->attributes & attr::kReadOnly);
    EXPECT_EQ(st->time.date.dtos(), "20201231");
    EXPECT_EQ(st->time.hms(), "23:59:58");
    EXPECT_FALSE(fs().stat("C:\\QARO\\SYS\\place.dbn")->attributes & attr::kReadOnly);
}

TEST_F(UnpackerTest, HardLinkMembersRepeatAnEarlierMember) {
    put("$m.rar", test::build_archive(ArchiveFormat::Tar, {{"D/A.TXT", "same"}, {"D/B.TXT", "", TestMember::HardLink, 0644, 0, "D/A.TXT"}}));
    EXPECT_EQ(run("winrar x -y $m.rar"), 0) << console_;
    EXPECT_EQ(read_here("D/B.TXT"), "same");
}

// Bytes that do not compress, so that a cut or a flipped byte lands in the member's data.
std::string noise(std::size_t n) {
    std::string s(n, '\0');
    std::uint32_t x = 12345;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

TEST_F(UnpackerTest, DamagedOrMissingArchives) {
    std::string zip = test::build_archive(ArchiveFormat::Zip, {{"BIG.DAT", noise(300000)}, {"Z.TXT", "z"}});
    std::string tgz = test::build_archive(ArchiveFormat::TarGz, {{"BIG.DAT", noise(300000)}, {"Z.TXT", "z"}});
    std::string flipped = zip;
    flipped[150000] = static_cast<char>(flipped[150000] ^ 0x55);
    struct Case {
        const char* name;
        std::string bytes;   // staged as $m.rar
        int errorlevel;
    };
    const Case cases[] = {
        {"not an archive", "this is plain text, not an archive\r\n", 6},
        {"empty file", "", 6},
        {"truncated tar.gz in the middle of a member", tgz.substr(0, tgz.size() / 3), 3},
        {"zip cut in the middle of a member", zip.substr(0, zip.size() / 2), 3},
        {"zip with a damaged byte in a member", flipped, 3},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box("CA", "QARO");
        box.write_host('C', "QARO/$m.rar", c.bytes);
        std::string console;
        EXPECT_EQ(run_command_interpreter("/C winrar x -y $m.rar", &console), c.errorlevel) << console;
        // A member whose data broke off leaves no file, whole or half, and no temporary file.
        EXPECT_FALSE(std::filesystem::exists(box.host('C', "QARO/BIG.DAT")));
        for (auto& e : fs().list("C:\\QARO\\*.TMP")) ADD_FAILURE() << e.name;
    }
    EXPECT_EQ(run("winrar x -y NONE.rar"), 6);
    EXPECT_EQ(run("winrar x -y $*.rar"), 10);   // no archive matches the wildcard
}

TEST_F(UnpackerTest, CommandLineErrors) {
    put("$m.rar", test::build_archive(ArchiveFormat::Zip, {{"A.TXT", "a"}}));
    EXPECT_EQ(run("winrar"), 7);
    EXPECT_EQ(run("winrar q $m.rar"), 7);          // unknown command
    EXPECT_EQ(run("winrar x -zz $m.rar"), 7);      // unknown switch
    EXPECT_EQ(run("winrar x -y"), 7);              // no archive
    EXPECT_FALSE(exists_here("A.TXT"));
}

// The unpacking batch as the package delivers it: several archives, one of them missing, run
// through "/C bis.bat > NUL" as the installation does.
TEST_F(UnpackerTest, UnpackingBatch) {
    put("$m.rar", test::build_archive(ArchiveFormat::Zip, {{"EXE/MAST.EXE", "master"}, {"place.dbn", "catalog"}}));
    put("$P.rar", test::build_archive(ArchiveFormat::SevenZip, {{"EXE/PLACE.EXE", "place"}, {"PLACE.DBF", "tab"}}));
    put("$f.rar", test::build_archive(ArchiveFormat::TarGz, {{"MODYFIK/STEP.DBF", "mig"}}));
    put("winrar.exe", "stand-in");
    put("bis.bat",
        "@echo off\r\n"
        "rem unpack what was staged\r\n"
        "if exist $m.rar winrar x -y -o+ -ibck $m.rar\r\n"
        "if exist $P.rar winrar x -y -o+ -ibck $P.rar\r\n"
        "if exist $K.rar winrar x -y -o+ -ibck $K.rar\r\n"
        "if exist $f.rar winrar x -y -o+ -ibck $f.rar\r\n"
        "del $*.rar\r\n"
        "del winrar.exe\r\n");
    std::string console;
    EXPECT_EQ(run_command_interpreter("/C bis.bat > NUL", &console), 0);
    EXPECT_EQ(console, "");
    EXPECT_EQ(all_files(), (std::set<std::string>{"C/QARO/bis.bat", "C/QARO/EXE/MAST.EXE", "C/QARO/place.dbn",
                                                  "C/QARO/EXE/PLACE.EXE", "C/QARO/PLACE.DBF",
                                                  "C/QARO/MODYFIK/STEP.DBF"}));
    EXPECT_EQ(read_here("EXE/PLACE.EXE"), "place");
}

}  // namespace
}  // namespace qaro
