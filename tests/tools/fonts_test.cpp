#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/file_system.h"
#include "platform/screen/key_codes.h"
#include "screen/kit_fixture.h"
#include "support/sandbox.h"
#include "tools/fonts.h"

namespace qaro {
namespace {

using test::Sandbox;

constexpr const char* kInstaller = "D:\\INST";   // start directory, no trailing backslash
constexpr const char* kSystem = "C:\\FIRMA\\";
constexpr const char* kSecondLine = "Fonty firmowe nie będą poprawnie obsłużone!";

class FontsTest : public test::KitTest {
public:
    FontsTest() : box_("CD") {}

    // The installer delivers two fonts and the font program with its manifest; the system has
    // an old font, a read-only old program and an old manifest.
    void standard_setup() {
        box_.write_host('D', "INST/fonty/A.TTF", "newA");
        box_.write_host('D', "INST/fonty/B.ttf", "newB");
        box_.write_host('D', "INST/fonty/CZYTAJ.TXT", "not a font");
        box_.write_host('D', "INST/setup/fontinst.exe", "newexe");
        box_.write_host('D', "INST/setup/FONTINST.EXE.MANIFEST", "newman");
        box_.write_host('C', "FIRMA/fonty/A.TTF", "oldA");
        box_.write_host('C', "FIRMA/exe/FONTINST.EXE", "oldexe");
        box_.write_host('C', "FIRMA/exe/FONTINST.EXE.MANIFEST", "oldman");
        ASSERT_TRUE(fs().set_attributes("C:\\FIRMA\\exe\\FONTINST.EXE", attr::kReadOnly));
    }
    std::string read(const std::string& dos) {
        std::string s;
        return fs().read_all(dos, s) ? s : std::string("<missing>");
    }
    void remove_host(char drive, const std::string& rel) { std::filesystem::remove_all(box_.host(drive, rel)); }

    Sandbox box_;
};

TEST_F(FontsTest, InstallsFontsAndReplacesTheProgram) {
    standard_setup();
    auto& con = keys({});
    EXPECT_TRUE(KOP_FONTY(kInstaller, kSystem));
    EXPECT_TRUE(con.snapshots.empty());   // no message
    EXPECT_EQ(read("C:\\FIRMA\\fonty\\A.TTF"), "newA");   // overwritten
    EXPECT_EQ(read("C:\\FIRMA\\fonty\\B.ttf"), "newB");
    EXPECT_FALSE(fs().exists("C:\\FIRMA\\fonty\\CZYTAJ.TXT"));
    EXPECT_EQ(read("C:\\FIRMA\\exe\\fontinst.exe"), "newexe");   // the read-only old one went
    EXPECT_EQ(read("C:\\FIRMA\\exe\\FONTINST.EXE.MANIFEST"), "newman");
}

TEST_F(FontsTest, MakesTheFontDirectory) {
    standard_setup();
    remove_host('C', "FIRMA/fonty");
    keys({});
    EXPECT_TRUE(KOP_FONTY(kInstaller, kSystem));
    EXPECT_EQ(read("C:\\FIRMA\\fonty\\A.TTF"), "newA");
}

TEST_F(FontsTest, FailuresStopWithTheirMessage) {
    struct Case {
        const char* name;
        std::function<void(FontsTest&)> change;
        const char* system;
        const char* message;                        // first line
        std::function<void(FontsTest&)> check;      // what stays behind
    } cases[] = {
        {"no fonts on the medium", [](FontsTest& t) { t.remove_host('D', "INST/fonty"); }, kSystem,
         "Brak fontów źródłowych w katalogu FONTY.",
         [](FontsTest& t) {
             EXPECT_EQ(t.read("C:\\FIRMA\\exe\\fontinst.exe"), "oldexe");
             EXPECT_EQ(t.read("C:\\FIRMA\\exe\\FONTINST.EXE.MANIFEST"), "oldman");
         }},
        {"fonty holds no .ttf", [](FontsTest& t) {
             t.remove_host('D', "INST/fonty/A.TTF");
             t.remove_host('D', "INST/fonty/B.ttf");
         }, kSystem, "Brak fontów źródłowych w katalogu FONTY.", nullptr},
        {"system directory missing", nullptr, "C:\\NIEMA\\", "Brak katalogu FONTY w katalogu FIRMY.",
         [](FontsTest&) { EXPECT_FALSE(fs().exists("C:\\NIEMA")); }},
        {"old font read-only", [](FontsTest&) {
             ASSERT_TRUE(fs().set_attributes("C:\\FIRMA\\fonty\\A.TTF", attr::kReadOnly));
         }, kSystem, "Font A.TTF nie został skopiowany.",
         [](FontsTest& t) {
             EXPECT_EQ(t.read("C:\\FIRMA\\fonty\\A.TTF"), "oldA");
             EXPECT_FALSE(fs().exists("C:\\FIRMA\\fonty\\B.ttf"));   // the rest is not copied
             EXPECT_EQ(t.read("C:\\FIRMA\\exe\\fontinst.exe"), "oldexe");
         }},
        {"manifest cannot be deleted", [](FontsTest& t) {
             t.remove_host('C', "FIRMA/exe/FONTINST.EXE.MANIFEST");
             std::filesystem::create_directories(t.box_.host('C', "FIRMA/exe/FONTINST.EXE.MANIFEST"));
         }, kSystem, "Błąd przy usuwaniu pliku FONTINST.EXE.MANIFEST.",
         [](FontsTest& t) { EXPECT_EQ(t.read("C:\\FIRMA\\exe\\fontinst.exe"), "oldexe"); }},
        {"program cannot be deleted", [](FontsTest& t) {
             t.remove_host('C', "FIRMA/exe/FONTINST.EXE");
             std::filesystem::create_directories(t.box_.host('C', "FIRMA/exe/FONTINST.EXE"));
         }, kSystem, "Błąd przy usuwaniu pliku FONTINST.EXE.",
         [](FontsTest&) { EXPECT_FALSE(fs().exists("C:\\FIRMA\\exe\\FONTINST.EXE.MANIFEST")); }},
        {"program missing on the medium", [](FontsTest& t) { t.remove_host('D', "INST/setup/fontinst.exe"); },
         kSystem, "Brak pliku FONTINST.EXE w katalogu instalacyjnym.",
         [](FontsTest& t) {
             // Nothing is rolled back: the old program and manifest are gone, the fonts stay.
             EXPECT_FALSE(fs().exists("C:\\FIRMA\\exe\\fontinst.exe"));
             EXPECT_FALSE(fs().exists("C:\\FIRMA\\exe\\FONTINST.EXE.MANIFEST"));
             EXPECT_EQ(t.read("C:\\FIRMA\\fonty\\B.ttf"), "newB");
         }},
        {"no exe directory", [](FontsTest& t) { t.remove_host('C', "FIRMA/exe"); }, kSystem,
         "Błąd przy kopiowaniu pliku FONTINST.EXE.", nullptr},
        {"manifest missing on the medium",
         [](FontsTest& t) { t.remove_host('D', "INST/setup/FONTINST.EXE.MANIFEST"); }, kSystem,
         "Brak pliku FONTINST.EXE.MANIFEST w katalogu instalacyjnym.",
         [](FontsTest& t) {
             EXPECT_EQ(t.read("C:\\FIRMA\\exe\\fontinst.exe"), "newexe");
             EXPECT_FALSE(fs().exists("C:\\FIRMA\\exe\\FONTINST.EXE.MANIFEST"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        remove_host('C', "FIRMA");
        remove_host('D', "INST");
        standard_setup();
        if (c.change) c.change(*this);
        reset();
        auto& con = keys({key::kEnter});
        EXPECT_FALSE(KOP_FONTY(kInstaller, c.system));
        ASSERT_EQ(con.snapshots.size(), 1u);   // one message, one key
        const std::string screen = screen_at_wait(0);
        EXPECT_NE(screen.find(c.message), std::string::npos) << screen;
        EXPECT_NE(screen.find(kSecondLine), std::string::npos) << screen;
        if (c.check) c.check(*this);
    }
}

TEST_F(FontsTest, InstallerAtADriveRoot) {
    box_.write_host('D', "fonty/A.TTF", "newA");
    box_.write_host('D', "setup/fontinst.exe", "newexe");
    box_.write_host('D', "setup/FONTINST.EXE.MANIFEST", "newman");
    std::filesystem::create_directories(box_.host('C', "FIRMA/exe"));
    keys({});
    EXPECT_TRUE(KOP_FONTY("D:\\", kSystem));
    EXPECT_EQ(read("C:\\FIRMA\\fonty\\A.TTF"), "newA");
    EXPECT_EQ(read("C:\\FIRMA\\exe\\fontinst.exe"), "newexe");
}

}  // namespace
}  // namespace qaro
