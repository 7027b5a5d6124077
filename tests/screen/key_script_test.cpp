#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kit_fixture.h"
#include "platform/screen/key_codes.h"

namespace qaro {
namespace {

namespace stdfs = std::filesystem;

std::vector<ScriptItem> parse_ok(std::string_view s) {
    std::string error;
    auto items = parse_key_script(s, error);
    EXPECT_TRUE(items.has_value()) << error;
    return items.value_or(std::vector<ScriptItem>{});
}

TEST(KeyScript, KeyNamesIgnoreLetterCase) {
    const std::pair<const char*, int> cases[] = {
        {"ENTER", key::kEnter}, {"esc", key::kEsc}, {"F2", key::kF2}, {"f10", -9}, {"Ins", key::kIns},
        {"CTRL-W", key::kCtrlW}, {"ctrl-enter", key::kCtrlEnter}, {"UP", key::kUp}, {"DOWN", key::kDown},
        {"LEFT", key::kLeft}, {"RIGHT", key::kRight}, {"HOME", key::kHome}, {"END", key::kEnd},
        {"PGUP", key::kPgUp}, {"PGDN", key::kPgDn}, {"BACKSPACE", key::kBackspace}, {"DEL", key::kDel},
        {"TAB", key::kTab}, {"ctrl-y", key::kCtrlY},
    };
    for (const auto& [name, code] : cases) EXPECT_EQ(key_by_name(name), code) << name;
    EXPECT_FALSE(key_by_name("F11"));
    EXPECT_FALSE(key_by_name("ENTERX"));
}

TEST(KeyScript, ItemsCommentsAndErrors) {
    auto items = parse_ok("# start\n\n  ENTER  \r\n\"C:\\FIRMA\"\n!cp a b\n\"\"\nesc");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].kind, ScriptItem::Kind::Key);
    EXPECT_EQ(items[0].key, key::kEnter);
    EXPECT_EQ(items[1].kind, ScriptItem::Kind::Text);
    EXPECT_EQ(items[1].text, "C:\\FIRMA");
    EXPECT_EQ(items[2].kind, ScriptItem::Kind::Command);
    EXPECT_EQ(items[2].text, "cp a b");
    EXPECT_EQ(items[3].text, "");
    EXPECT_EQ(items[4].key, key::kEsc);

    std::string error;
    EXPECT_FALSE(parse_key_script("ENTER\nJUMP\n", error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parse_key_script("\"open", error));
}

class HeadlessConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = stdfs::temp_directory_path() /
               ("qaro_screen_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        stdfs::remove_all(dir_);
        stdfs::create_directories(dir_);
        reset_screen_kit();
        PLCHANGE(PolishStandard::Latin2);
    }
    void TearDown() override {
        set_console(nullptr);
        stdfs::remove_all(dir_);
    }
    HeadlessConsole& install(std::string_view script, bool dumps = true) {
        auto c = std::make_unique<HeadlessConsole>(parse_ok(script), dumps ? (dir_ / "screen.txt").string() : "");
        auto* p = c.get();
        set_console(std::move(c));
        return *p;
    }
    std::string dump() const {
        std::ifstream in(dir_ / "screen.txt", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    stdfs::path dir_;
};

TEST_F(HeadlessConsoleTest, DumpsTheScreenAtEveryKeyWait) {
    install("ENTER\nENTER\n");
    KOM3("Pierwszy komunikat");
    KOM3("Bl`a`d zapisu");
    std::string d = dump();
    std::string sep = std::string(kScreenDumpSeparator) + "\n";
    // Two dumps of 25 lines each, each followed by the separator.
    std::size_t first = d.find(sep);
    ASSERT_NE(first, std::string::npos);
    std::string one = d.substr(0, first);
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 25);
    EXPECT_NE(one.find("Pierwszy komunikat"), std::string::npos);
    std::string two = d.substr(first + sep.size());
    EXPECT_NE(two.find("Błąd zapisu"), std::string::npos) << two;
    EXPECT_EQ(two.substr(two.size() - sep.size()), sep);
    EXPECT_EQ(std::count(d.begin(), d.end(), '\n'), 52);
}

TEST_F(HeadlessConsoleTest, TypedTextAndCommandsRunWhenTheNextKeyIsRead) {
    auto marker = dir_ / "diskette_changed";
    auto& con = install("!touch " + marker.string() + "\n\"ża\"\nENTER\n", false);
    EXPECT_FALSE(stdfs::exists(marker));
    ScreenModel s;
    EXPECT_EQ(con.read_key(s), 0xBE);   // ż in code page 852
    EXPECT_TRUE(stdfs::exists(marker));
    EXPECT_EQ(con.read_key(s), 'a');
    EXPECT_EQ(con.read_key(s), key::kEnter);
}

TEST_F(HeadlessConsoleTest, ExhaustedScriptEndsTheProgramWithCode3) {
    install("ENTER\n", false);
    EXPECT_EXIT(
        {
            KOM3("jeden");
            KOM3("dwa");
            std::exit(0);
        },
        ::testing::ExitedWithCode(kExitKeyScriptExhausted), "key script exhausted");
}

TEST_F(HeadlessConsoleTest, EnvironmentChoosesTheBackend) {
    auto script = dir_ / "keys.txt";
    std::ofstream(script) << "ESC\n";
    set_console(nullptr);
    ::setenv("QARO_KEYS", script.c_str(), 1);
    ::setenv("QARO_SCREEN", (dir_ / "screen.txt").c_str(), 1);
    EXPECT_NE(dynamic_cast<HeadlessConsole*>(&console()), nullptr);
    EXPECT_FALSE(DECYZJA(true, "Czy?"));
    EXPECT_NE(dump().find("Czy?"), std::string::npos);
    set_console(nullptr);
    ::setenv("QARO_KEYS", (dir_ / "missing.txt").c_str(), 1);
    EXPECT_EXIT(console(), ::testing::ExitedWithCode(kExitKeyScriptExhausted), "cannot read the key script");
    ::unsetenv("QARO_KEYS");
    ::unsetenv("QARO_SCREEN");
}

TEST_F(HeadlessConsoleTest, NoTerminalAndNoScriptExitsInsteadOfWaiting) {
    set_console(nullptr);
    ::unsetenv("QARO_KEYS");
    EXPECT_EXIT(
        {
            if (!std::freopen("/dev/null", "r", stdin)) std::exit(99);
            console();
            std::exit(0);
        },
        ::testing::ExitedWithCode(kExitNoConsole), "no terminal and no key script");
}

}  // namespace
}  // namespace qaro
