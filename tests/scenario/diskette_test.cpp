// Installation from a diskette set in two stages, and the executable copy mode.
#include <gtest/gtest.h>

#include "scenario.h"

namespace qaro::scenario {
namespace {

class DisketteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m.make_cd().exit_code, 0);
        write_file(m.root() + "/with/$sh.exe", "installer program");
        write_file(m.root() + "/with/licencja.txt", "Licencja systemu qaroVORANTA\r\n");
        write_file(m.root() + "/with/reklama.cfg", "reklama");
        auto r = run({bin("qarotool"), "split", m.cd("QAROVOR.DAT"), m.root() + "/set", "3", "--with", m.root() + "/with"},
                     m.root());
        ASSERT_EQ(r.exit_code, 0) << r.output;
        insert(1);
    }
    // Puts diskette n into drive A: (as a key-script command line when `script` is set).
    std::string swap_command(int n) const {
        return "!rm -rf '" + m.a() + "'/* && cp '" + m.root() + "/set/" + std::to_string(n) + "'/* '" + m.a() + "'/";
    }
    void insert(int n) { ASSERT_EQ(std::system(swap_command(n).substr(1).c_str()), 0); }

    // First stage from diskette 1: Latin 2, licence accepted, C:\QARO created. Hands over.
    void first_stage() {
        m.set_cwd(m.a());
        auto r = m.install({}, {"UP", "ENTER", "ENTER", "\"T\"", "CTRL-Y", "\"C:\\QARO\"", "ENTER", "\"T\""});
        ASSERT_EQ(r.exit_code, 0) << r.output << m.screens();
    }
    Result second_stage(const std::vector<std::string>& keys) {
        m.set_cwd(m.c("QARO"));
        return m.install({"second", "A:"}, keys);
    }
    // Keys of the second stage after the diskettes are joined: Płace, install, no network, user.
    static std::vector<std::string> after_joining() {
        return {"ENTER", "CTRL-W", "ENTER", "ENTER", "\"N\"", "\"Firma\"", "ENTER", "# no fonts on the diskette", "ENTER",
                "# closing box", "ENTER"};
    }
    Machine m;
};

TEST_F(DisketteTest, SplitPiecesJoinToThePackage) {
    std::string joined;
    for (int n = 1; n <= 3; ++n) joined += read_file(m.root() + "/set/" + std::to_string(n) + "/qarovor.dat");
    EXPECT_EQ(joined, read_file(m.cd("QAROVOR.DAT")));
    EXPECT_EQ(read_file(m.root() + "/set/1/DYSK_1"), "DD");
    EXPECT_TRUE(fsys::exists(m.root() + "/set/2/DYSK_2"));
    EXPECT_EQ(read_file(m.root() + "/set/1/$sh.exe"), "installer program");
    EXPECT_EQ(read_file(m.root() + "/set/1/instal.bat"), "@$sh.exe\r\n@rem Prosze nie modyfikowac tego pliku\r\n");
}

TEST_F(DisketteTest, ThreeDiskettesThroughBothStages) {
    first_stage();
    EXPECT_TRUE(fsys::exists(m.c("QARO/instal.xpf")));
    EXPECT_EQ(read_file(m.c("QARO/$sh.exe")), "installer program");
    EXPECT_EQ(read_file(m.a("instal.bat")),
              "@$sh.exe\r\n@CD C:\\QARO\r\n@C:\r\n@$sh.exe second A:\r\n@del C:\\QARO\\$sh.exe\r\n"
              "@rem Prosze nie modyfikowac tego pliku\r\n");
    EXPECT_EQ(m.screens().find("zakończona"), std::string::npos);   // no closing box after the hand-over

    m.clear_screens();
    std::vector<std::string> keys = {swap_command(2), "\"T\"", swap_command(3), "\"T\"",
                                     "# all joined: the first diskette again", swap_command(1), "ENTER"};
    for (auto& k : after_joining()) keys.push_back(k);
    auto r = second_stage(keys);
    EXPECT_EQ(r.exit_code, 1) << r.output;
    std::string screens = m.screens();
    EXPECT_NE(screens.find("Wloz do stacji dyskietke numer 2."), std::string::npos) << screens;
    EXPECT_NE(screens.find("Wloz do stacji pierwsza dyskietke instalacyjna"), std::string::npos);
    EXPECT_EQ(screens.find("Wprowadź kartotekę"), std::string::npos);   // no directory entry again
    EXPECT_EQ(screens.find("Warunki licencji"), std::string::npos);
    EXPECT_TRUE(fsys::exists(m.c("QARO/EXE/PLACE.EXE")));
    EXPECT_EQ(read_file(m.c("QARO/reklama.cfg")), "reklama");
    EXPECT_FALSE(fsys::exists(m.c("QARO/qarovor.dat")));   // the joined package is deleted
    EXPECT_FALSE(fsys::exists(m.c("QARO/instal.xpf")));
    EXPECT_NE(m.xpf(m.c("QARO/PLACE.XPF")).find("program PL`ACE, Firma /wer. 27.10"), std::string::npos);
}

TEST_F(DisketteTest, DisketteOutOfOrderIsAskedForAgain) {
    first_stage();
    m.clear_screens();
    std::vector<std::string> keys = {swap_command(3), "\"T\"", swap_command(2), "\"T\"", swap_command(3), "\"T\"",
                                     swap_command(1), "ENTER"};
    for (auto& k : after_joining()) keys.push_back(k);
    auto r = second_stage(keys);
    EXPECT_EQ(r.exit_code, 1) << r.output;
    std::string screens = m.screens();
    std::size_t first = screens.find("dyskietke numer 2.");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(screens.find("dyskietke numer 2.", screens.find("=====", first)), std::string::npos);   // asked again
    EXPECT_TRUE(fsys::exists(m.c("QARO/EXE/PLACE.EXE")));
}

TEST_F(DisketteTest, PiecesLongerThanThePackageNeverJoin) {
    first_stage();
    std::string piece = m.root() + "/set/3/qarovor.dat";
    write_file(piece, read_file(piece) + "extra");
    m.clear_screens();
    auto r = second_stage({swap_command(2), "\"T\"", swap_command(3), "\"T\"", "# diskette 4? no", "\"N\"",
                           swap_command(1), "ENTER", "# closing box", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("dyskietke numer 4."), std::string::npos);
    EXPECT_FALSE(fsys::exists(m.c("QARO/qarovor.dat")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE")));
}

TEST_F(DisketteTest, DeclinedPromptEndsTheInstallation) {
    first_stage();
    auto r = second_stage({"\"N\"", "# closing box", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_FALSE(fsys::exists(m.c("QARO/qarovor.dat")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE")));
}

TEST_F(DisketteTest, SecondStageWithoutHandoverEndsAsAborted) {
    fsys::create_directories(m.c("QARO"));
    auto r = second_stage({"ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("zakonczona."), std::string::npos);
}

TEST(CopyModeTest, RefreshesExecutablesAndCleansTheTemporaryDirectory) {
    Machine m;
    ASSERT_EQ(m.make_cd().exit_code, 0);
    write_file(m.c("PROG/MAST.EXE"), "old master");
    write_file(m.c("PROG/DANE.DBF"), "company data");
    fsys::permissions(m.c("PROG/MAST.EXE"), fsys::perms::owner_write | fsys::perms::group_write | fsys::perms::others_write,
                      fsys::perm_options::remove);
    write_file(m.c("TMPK/OLD.TXT"), "left by an earlier run");
    auto r = m.install({"kopexe", "-", "C:\\PROG", "-", " PB ", "C:\\TMPK"}, {});
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(read_file(m.c("PROG/MAST.EXE")), "old master");
    EXPECT_NE(read_file(m.c("PROG/MAST.EXE")).find("qaroVORANTA MAST"), std::string::npos);
    for (const char* f : {"PROG/PLACE.EXE", "PROG/BANK.EXE", "PROG/DOSPRINT.EXE", "PROG/PLACE.DBC", "PROG/MASTER.DBC"})
        EXPECT_TRUE(fsys::exists(m.c(f))) << f;
    EXPECT_FALSE(fsys::exists(m.c("PROG/KADRY.EXE")));
    EXPECT_EQ(read_file(m.c("PROG/DANE.DBF")), "company data");
    EXPECT_FALSE(fsys::exists(m.c("TMPK"))) << [&] { std::string s; for (auto& e : fsys::recursive_directory_iterator(m.c("TMPK"))) s += e.path().string() + "\n"; return s; }();
}

}  // namespace
}  // namespace qaro::scenario
