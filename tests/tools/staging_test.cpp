#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "screen/kit_fixture.h"
#include "support/sandbox.h"
#include "tools/media.h"
#include "tools/staging.h"

namespace qaro {
namespace {

std::string targets(const std::vector<std::pair<std::string, std::string>>& rows, std::size_t from) {
    std::string s;
    for (std::size_t i = from; i < rows.size(); ++i) s += rows[i].first + ">" + rows[i].second + " ";
    return s;
}

TEST(StagingTest, MainListFollowsModuleOrderAndMode) {
    auto zp = main_staging_list("ZP", "K");
    EXPECT_EQ(targets(zp, 0),
              "master.0>$m.rar warunki.ins>warunki.ins licencja.ins>licencja.ins qaropl.xpf>qaropl.xpf "
              "winrar.exe>winrar.exe default.sfx>default.sfx DOSPRINT.0>$DP.rar DLL.0>$DL.rar "
              "xfbis.bat>bis.bat xbazy>$y.rar PLACE.0>$P.rar PLACE.XPF>PLACE.XPF ZUS.0>$Z.rar ZUS.XPF>ZUS.XPF ");
    EXPECT_EQ(targets(main_staging_list("O", "U"), 8), "xubis.bat>bis.bat modyf.uzu>$f.rar PODATEK.0>$O.rar PODATEK.XPF>PODATEK.XPF ");
    EXPECT_EQ(targets(main_staging_list("", "X"), 8), "");   // another mode: no batch, no database
    EXPECT_EQ(DAJMODUL("O"), "PODATEK");
    EXPECT_EQ(DAJMODUL("M"), "MASTER");
    EXPECT_EQ(DAJMODUL("PB"), "");
    EXPECT_EQ(DAJMODUL("x"), "");
}

TEST(StagingTest, RestartBatch) {
    EXPECT_EQ(restart_batch_text("C:\\ZAKLAD\\", "A:"),
              "@$sh.exe\r\n@CD C:\\ZAKLAD\r\n@C:\r\n@$sh.exe second A:\r\n@del C:\\ZAKLAD\\$sh.exe\r\n"
              "@rem Prosze nie modyfikowac tego pliku\r\n");
    EXPECT_EQ(restart_batch_text("ZAKLAD\\", "A:"),
              "@$sh.exe\r\n@CD ZAKLAD\r\n@$sh.exe second A:\r\n@del ZAKLAD\\$sh.exe\r\n"
              "@rem Prosze nie modyfikowac tego pliku\r\n");
    EXPECT_EQ(restart_batch_text("", ""), "@$sh.exe\r\n@rem Prosze nie modyfikowac tego pliku\r\n");

    test::Sandbox box("CA");
    ASSERT_TRUE(ZMODYFIKUJ_BATCHA(""));   // the short form in the current directory
    EXPECT_EQ(box.read_host('C', "instal.bat"), restart_batch_text("", ""));
    ASSERT_TRUE(ZMODYFIKUJ_BATCHA("C:\\ZAKLAD\\", "A:"));
    EXPECT_EQ(box.read_host('A', "instal.bat"), restart_batch_text("C:\\ZAKLAD\\", "A:"));
}

TEST(MediaTest, MediumMarker) {
    struct Case {
        const char* marker;   // nullptr: no dysk_1
        bool package;
        bool cd, dd;
    };
    const Case cases[] = {{"CD", true, true, false}, {"DD", true, true, true},  {"CD", false, false, false},
                          {"cd", true, false, false}, {"C", true, false, false}, {nullptr, true, false, false},
                          {"DDxyz", true, true, true}};
    for (auto& c : cases) {
        test::Sandbox box("D");
        if (c.marker) box.write_host('D', "DYSK_1", c.marker);
        if (c.package) box.write_host('D', "qarovor.dat", "x");
        bool dd = true;
        EXPECT_EQ(CD_EDITION(dd), c.cd) << (c.marker ? c.marker : "none");
        EXPECT_EQ(dd, c.dd);
    }
}

}  // namespace
}  // namespace qaro
