// The installer's main job, run as a person (or an unattended script) would run it.
#include <gtest/gtest.h>

#include "platform/checksum.h"
#include "platform/lib_data.h"
#include "scenario.h"

namespace qaro::scenario {
namespace {

// Keys of an interactive complete installation from the standard choice to the closing box.
std::vector<std::string> interactive_complete(const std::string& dir, const std::string& network_answer,
                                              const std::vector<std::string>& module_keys,
                                              const std::string& install_key = "ENTER") {
    std::vector<std::string> k = {"# Latin 2", "UP", "ENTER", "# licence: leave the text, accept", "ENTER", "\"T\"",
                                  "# directory entry", "CTRL-Y", "\"" + dir + "\"", "ENTER", "\"T\""};
    k.insert(k.end(), module_keys.begin(), module_keys.end());
    std::vector<std::string> rest = {"# conditions", "ENTER", "# install menu", install_key, "# network",
                                     network_answer, "\"Biuro Rachunkowe\"", "ENTER", "# closing box", "ENTER"};
    k.insert(k.end(), rest.begin(), rest.end());
    return k;
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto r = m.make_cd();
        ASSERT_EQ(r.exit_code, 0) << r.output;
    }
    // An unattended complete installation of `modules` into C:\QARO as a starting point.
    void install_unattended(const std::string& modules, const std::string& network = "B") {
        auto r = m.install({"K", network, "C:\\QARO", "", modules}, {"\"Biuro Rachunkowe\"", "ENTER", "ENTER"});
        ASSERT_EQ(r.exit_code, 1) << r.output;
        ASSERT_TRUE(fsys::exists(m.c("QARO/EXE/MAST.EXE")));
    }
    Machine m;
};

TEST_F(InstallationTest, InteractiveCompleteInstallation) {
    auto r = m.install({}, interactive_complete("C:\\QARO", "\"T\"", {"ENTER", "ENTER", "CTRL-W"}));
    EXPECT_EQ(r.exit_code, 1) << r.output;
    std::string screens = m.screens();
    for (const char* text : {"Warunki licencji", "Czy akceptujesz warunki licencji ?",
                             "Czy utworzyć kartotekę ?", "Wybór instalowanych modułów", "Warunki instalacji",
                             "Instalacja systemu »qaroVORANTA«/wersja 27.10", "będzie pracował w sieci",
                             "Wprowadź nazwę użytkownika systemu:", "została zakończona."})
        EXPECT_NE(screens.find(text), std::string::npos) << text;

    // Programs of Master and the two chosen modules, nothing of the others.
    for (const char* f : {"QARO/EXE/MAST.EXE", "QARO/EXE/PLACE.EXE", "QARO/EXE/BANK.EXE", "QARO/place.dbn", "QARO/place.dbp",
                          "QARO/indeks.ins", "QARO/siec", "QARO/fonty/QARO.TTF", "QARO/EXE/fontinst.exe",
                          "QARO/EXE/FONTINST.EXE.MANIFEST", "QARO/readme", "QARO/qaropl.xpf"})
        EXPECT_TRUE(fsys::exists(m.c(f))) << f;
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE/KADRY.EXE")));
    // Leftovers of the installation are gone.
    for (const char* f : {"QARO/_VOR_BAZ", "QARO/_TMP_VOR.DBF", "QARO/_TMP_VOR.NTX", "QARO/bis.bat", "QARO/winrar.exe",
                          "QARO/default.sfx", "QARO/MODYFIK"})
        EXPECT_FALSE(fsys::exists(m.c(f))) << f;
    EXPECT_EQ(read_file(m.c("QARO/indeks.ins")), "");

    EXPECT_NE(m.xpf(m.c("QARO/master.xpf")).find("deciphered \"System qaroVORANTA program MASTER, Biuro Rachunkowe /wer. 27.10\""),
              std::string::npos);
    EXPECT_NE(m.xpf(m.c("QARO/PLACE.XPF")).find("program PL`ACE, Biuro Rachunkowe /wer. 27.10\""), std::string::npos);
    EXPECT_NE(m.xpf(m.c("QARO/BANK.XPF")).find("program BANK, Biuro Rachunkowe"), std::string::npos);
    EXPECT_EQ(m.xpf(m.c("QARO/EXE/wersja.xpf")), "inst_dat D 20261211\ninst_nr N 0\ninst_nr_vor N 0\n");
}

TEST_F(InstallationTest, UnattendedCompleteInstallation) {
    auto r = m.install({"K", "S", "c:\\qaro", "", "pk"}, {"\"Kowalski\"", "ENTER", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    std::string screens = m.screens();
    EXPECT_EQ(screens.find("Warunki licencji"), std::string::npos);   // no licence, no questions
    EXPECT_EQ(screens.find("Wybór instalowanych"), std::string::npos);
    for (const char* f : {"QARO/EXE/PLACE.EXE", "QARO/EXE/KADRY.EXE", "QARO/siec", "QARO/KADRY.XPF"})
        EXPECT_TRUE(fsys::exists(m.c(f))) << f;
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE/BANK.EXE")));
    EXPECT_NE(m.xpf(m.c("QARO/KADRY.XPF")).find("program KADRY, Kowalski /wer. 27.10"), std::string::npos);
}

TEST_F(InstallationTest, UpdateOfAnEligibleSystemKeepsDataAndUser) {
    install_unattended("PB");
    std::string company = read_file(m.c("QARO/PRZEDS.DBF"));
    write_file(m.c("QARO/PRZEDS.DBF"), company + "company data");   // the company's own records
    m.clear_screens();
    // Update, adding Kadry: no user name is asked.
    auto r = m.install({"K", "B", "C:\\QARO", "", "PBK"}, {"ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_EQ(m.screens().find("Wprowadź nazwę użytkownika"), std::string::npos);
    EXPECT_EQ(read_file(m.c("QARO/PRZEDS.DBF")), company + "company data");
    EXPECT_TRUE(fsys::exists(m.c("QARO/EXE/KADRY.EXE")));
    EXPECT_NE(m.xpf(m.c("QARO/KADRY.XPF")).find("program KADRY, Biuro Rachunkowe /wer. 27.10"), std::string::npos);
    EXPECT_NE(m.xpf(m.c("QARO/master.xpf")).find("program MASTER, Biuro Rachunkowe /wer. 27.10"), std::string::npos);
    EXPECT_FALSE(fsys::exists(m.c("QARO/MODYFIK")));   // the migration material is cleaned up
    EXPECT_FALSE(fsys::exists(m.c("QARO/_VOR_MEM.XPF")));
    EXPECT_EQ(m.xpf(m.c("QARO/EXE/wersja.xpf")), "inst_dat D 20261211\ninst_nr N 1\ninst_nr_vor N 0\n");

    // A day later: the new date, the counter of the last day kept.
    m.set_today("20261212");
    r = m.install({"K", "B", "C:\\QARO", "", "P"}, {"ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_EQ(m.xpf(m.c("QARO/EXE/wersja.xpf")), "inst_dat D 20261212\ninst_nr N 1\ninst_nr_vor N 0\n");
}

TEST_F(InstallationTest, UpdateRefusedWithoutConversionMark) {
    install_unattended("P");
    std::string catalog = read_file(m.c("QARO/place.dbn"));
    auto at = catalog.find("Konwersja ok");
    ASSERT_NE(at, std::string::npos);
    catalog.replace(at, 12, "Konwersja --");
    write_file(m.c("QARO/place.dbn"), catalog);
    m.clear_screens();
    auto r = m.install({"K", "B", "C:\\QARO", "", "PB"}, {"ENTER", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("jest zbyt stara aby uruchomic to uaktualnienie."), std::string::npos);
    EXPECT_EQ(read_file(m.c("QARO/place.dbn")), catalog);
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE/BANK.EXE")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/_TMP_VOR.DBF")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/_VOR_BAZ")));
}

TEST_F(InstallationTest, DecliningTheLicenceEndsTheRun) {
    auto r = m.install({}, {"UP", "ENTER", "ENTER", "\"N\"", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("została zakończona."), std::string::npos);
    EXPECT_TRUE(fsys::is_empty(m.c()));
}

TEST_F(InstallationTest, EscInTheInstallMenuGoesOnAndRezygnacjaGivesUp) {
    auto r = m.install({}, interactive_complete("C:\\QARO", "\"N\"", {"ENTER", "CTRL-W"}, "ESC"));
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_TRUE(fsys::exists(m.c("QARO/EXE/PLACE.EXE")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/siec")));

    Machine other;
    ASSERT_EQ(other.make_cd().exit_code, 0);
    std::vector<std::string> keys = {"ENTER", "ENTER", "\"T\"", "CTRL-Y", "\"C:\\FIRMA\"", "ENTER", "\"T\"",
                                     "ENTER", "CTRL-W", "ENTER", "DOWN", "ENTER", "ENTER"};
    r = other.install({}, keys);
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_TRUE(fsys::exists(other.c("FIRMA")));            // made by the directory entry
    EXPECT_FALSE(fsys::exists(other.c("FIRMA/EXE")));
    EXPECT_FALSE(fsys::exists(other.c("FIRMA/_VOR_BAZ")));  // staged members cleaned up
}

TEST_F(InstallationTest, F2FindsAnInstalledSystemToUpdate) {
    install_unattended("P");
    m.clear_screens();
    std::vector<std::string> keys = {"ENTER", "ENTER", "\"T\"",
                                     "# F2, all drives, take the system found",
                                     "F2", "ENTER", "ENTER", "# confirm the field", "ENTER",
                                     "# backup made", "\"T\"", "ENTER", "CTRL-W", "ENTER", "ENTER", "\"N\"", "ENTER"};
    auto r = m.install({}, keys);
    EXPECT_EQ(r.exit_code, 1) << r.output;
    std::string screens = m.screens();
    EXPECT_NE(screens.find("Wybierz Dysk"), std::string::npos);
    EXPECT_NE(screens.find("System firma zostal znaleziony w katalogu:"), std::string::npos);
    EXPECT_NE(screens.find("KONIECZNE JEST WYKONANIE JEGO KOPII ZAPASOWEJ !"), std::string::npos);
    EXPECT_EQ(m.xpf(m.c("QARO/EXE/wersja.xpf")), "inst_dat D 20261211\ninst_nr N 1\ninst_nr_vor N 0\n");
    // The scratch directory of the update is removed again.
    for (auto& e : fsys::directory_iterator(m.c("QARO")))
        EXPECT_FALSE(e.is_directory() && e.path().filename().string().find('.') != std::string::npos) << e.path();
}

TEST_F(InstallationTest, DamagedPackageIsRefused) {
    std::string pkg = read_file(m.cd("QAROVOR.DAT"));
    pkg[pkg.size() / 2] ^= 0x20;
    write_file(m.cd("QAROVOR.DAT"), pkg);
    auto r = m.install({}, {"UP", "ENTER", "ENTER", "\"T\"", "ENTER", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("został uszkodzony lub jego zawartość została zmieniona."), std::string::npos);
    EXPECT_TRUE(fsys::is_empty(m.c()));
}

TEST_F(InstallationTest, MemberLeavingTheTargetIsRefused) {
    std::string pkg = read_file(m.cd("QAROVOR.DAT"));
    auto at = pkg.find("_VOR_BAZ\\MASTER.0");
    ASSERT_NE(at, std::string::npos);
    pkg.replace(at, 17, "..\\..\\..\\MASTER.0");   // same length: offsets stay right
    for (int i = 12; i < 16; ++i) pkg[static_cast<std::size_t>(i)] = '\0';
    std::string sum = N2BIN(crc32_of(pkg));
    pkg.replace(12, 4, sum);
    write_file(m.cd("QAROVOR.DAT"), pkg);

    auto r = m.install({"K", "B", "C:\\QARO", "", "P"}, {"ENTER", "ENTER"});
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(m.screens().find("..\\..\\..\\MASTER.0"), std::string::npos) << m.screens();
    EXPECT_FALSE(fsys::exists(m.root() + "/MASTER.0"));
    EXPECT_FALSE(fsys::exists(m.c("MASTER.0")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/MASTER.0")));
    EXPECT_FALSE(fsys::exists(m.c("QARO/EXE/MAST.EXE")));
}

}  // namespace
}  // namespace qaro::scenario
