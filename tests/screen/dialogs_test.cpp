#include <gtest/gtest.h>

#include "kit_fixture.h"

namespace qaro::test {
namespace {

using DialogsTest = KitTest;

TEST_F(DialogsTest, DecyzjaAnswers) {
    struct Case {
        bool def;
        std::vector<int> keys;
        bool answer;
    };
    const Case cases[] = {
        {true, {key::kEnter}, true},
        {false, {key::kEnter}, false},
        {true, {'n'}, false},
        {true, {'N'}, false},
        {false, {'t'}, true},
        {false, {'T'}, true},
        {false, {'y'}, true},
        {false, {'Y'}, true},
        {true, {key::kEsc}, false},
        {true, {key::kRight, key::kEnter}, false},
        {false, {key::kLeft, key::kEnter}, true},
        {false, {key::kLeft, key::kLeft, key::kEnter}, false},
        {false, {'x', key::kDown, key::kEnter}, false},   // other keys do nothing
        {false, {'x', 't'}, true},
    };
    for (const auto& c : cases) {
        reset();
        auto& con = keys(c.keys);
        EXPECT_EQ(DECYZJA(c.def, "Czy chcesz przerwac` instalacje` ?"), c.answer);
        EXPECT_EQ(con.keys_left(), 0u) << "every key is used, none more";
        EXPECT_FALSE(con.exhausted);
    }
}

TEST_F(DialogsTest, DecyzjaShowsQuestionLinesAndHighlightsTheDefault) {
    keys({key::kEnter});
    auto before = screen().row_bytes(12);
    DECYZJA(false, "Czy system zostal` skopiowany ?", 0, 0,
            Value(Array{"Przed przysta`pieniem do aktualizacji systemu", "KONIECZNE JEST WYKONANIE KOPII !"}));
    std::string s = screen_at_wait(0);
    EXPECT_NE(s.find("Czy system został skopiowany ?"), std::string::npos) << s;
    EXPECT_NE(s.find("Przed przystąpieniem do aktualizacji systemu"), std::string::npos);
    EXPECT_NE(s.find("Tak"), std::string::npos);
    EXPECT_NE(s.find("Nie"), std::string::npos);
    EXPECT_NE(s.find("T/Y-Tak"), std::string::npos) << "keys are shown in the hint line";
    // The highlighted answer is "Nie": its cells carry another colour than "Tak".
    const ScreenModel& at = con_->snapshots[0];
    int tak_r = -1, tak_c = -1, nie_r = -1, nie_c = -1;
    for (int r = 0; r < kScreenRows; ++r) {
        auto row = at.row_bytes(r);
        if (auto p = row.find("  Tak  "); p != std::string::npos) { tak_r = r; tak_c = static_cast<int>(p) + 2; }
        if (auto p = row.find("  Nie  "); p != std::string::npos) { nie_r = r; nie_c = static_cast<int>(p) + 2; }
    }
    ASSERT_GE(tak_r, 0);
    ASSERT_GE(nie_r, 0);
    EXPECT_NE(at.cell(tak_r, tak_c).attr, at.cell(nie_r, nie_c).attr);
    EXPECT_EQ(screen().row_bytes(12), before) << "the question's window is closed";
}

TEST_F(DialogsTest, AlertChoices) {
    struct Case {
        int def;
        std::vector<int> keys;
        int result;
    };
    const Case cases[] = {
        {3, {key::kEnter}, 3},
        {3, {key::kUp, key::kEnter}, 2},
        {3, {key::kDown, key::kEnter}, 1},   // wraps
        {1, {key::kEnd, key::kEnter}, 3},
        {3, {key::kHome, key::kEnter}, 1},
        {2, {key::kEsc}, 0},
        {2, {'x', key::kEnter}, 2},
    };
    for (const auto& c : cases) {
        reset();
        keys(c.keys);
        EXPECT_EQ(ALERT("Wybierz standard polskich znakow", Value(Array{"Mazowia", "Latin 2", "Brak polskich znakow"}),
                        c.def, Value(), Value(), Value(), Value(), Value(), "Standard polskich znako`w"),
                  c.result);
    }
    std::string s = screen_at_wait(0);
    EXPECT_NE(s.find("Standard polskich znaków"), std::string::npos) << s;
    EXPECT_NE(s.find("Brak polskich znakow"), std::string::npos);
}

TEST_F(DialogsTest, AlertShowsItsLines) {
    keys({key::kEnter});
    EXPECT_EQ(ALERT("Czas przechowywania danych:", Value(Array{"Bez zmian", "5 lat", "10 lat"}), 1, false,
                    Value(Array{"System obecnie przechowuje dane pl`acowe", "Czas ten mox`na wydl`ux`yc`"})),
              1);
    std::string s = screen_at_wait(0);
    EXPECT_NE(s.find("System obecnie przechowuje dane płacowe"), std::string::npos);
    EXPECT_NE(s.find("Czas ten można wydłużyć"), std::string::npos);
}

const Value kModules = Value(Array{" Pl`ace", " Bank", " Kadry", " Podatek", " Pomost", " Zasil`ki", " Umowy zlecenia"});

TEST_F(DialogsTest, MenuKeys) {
    struct Case {
        int def;
        std::vector<int> keys;
        int result;
    };
    const Case cases[] = {
        {1, {key::kEnter}, 1},
        {1, {key::kDown, key::kDown, key::kEnter}, 3},
        {1, {key::kUp, key::kEnter}, 7},
        {2, {key::kEnd, key::kEnter}, 7},
        {6, {key::kHome, key::kEnter}, 1},
        {3, {key::kEsc}, 0},
        {1, {'u', key::kEnter}, 7},   // a letter jumps to the item starting with it
        {1, {'P', 'P', key::kEnter}, 5},
    };
    for (const auto& c : cases) {
        reset();
        auto& con = keys(c.keys);
        auto before = screen().row_bytes(10);
        EXPECT_EQ(MENU(kModules, -1, -1, c.def), c.result);
        EXPECT_EQ(con.keys_left(), 0u);
        EXPECT_EQ(screen().row_bytes(10), before);
    }
}

TEST_F(DialogsTest, MenuAtAPositionShowsItsItems) {
    keys({key::kDown, key::kEnter});
    EXPECT_EQ(MENU(Value(Array{"  Instalacja  ", "  Rezygnacja  "}), 11, 54, 1, {}), 2);
    EXPECT_NE(row_at_wait(0, 11).find("  Instalacja  "), std::string::npos) << row_at_wait(0, 11);
    EXPECT_NE(row_at_wait(0, 12).find("  Rezygnacja  "), std::string::npos);
}

// A check-list as the module selection builds it: a key handler that ends the menu on Enter
// and Ins, extra ending keys, and one window reused across showings.
TEST_F(DialogsTest, MenuWithHandlerEndKeysAndReusedWindow) {
    keys({key::kIns, key::kDown, key::kEnter, 'd', key::kCtrlW});
    int handler_calls = 0;
    register_key_handler("klaw_men()", [&] {
        ++handler_calls;
        int k = LASTKEY();
        if (k == key::kCtrlW || K_CLOSE(k) || k == key::kEnter || k == key::kIns) {
            KEYBOARD(std::string(1, '\0'));
            return 1;
        }
        if (k == key::kEsc) {
            KEYBOARD(std::string(1, '\0'));
            return 0;
        }
        return 2;
    });
    auto before = screen().row_bytes(12);
    WindowHandle okno = kNoWindow;
    MenuOptions opt{&okno, nullptr, "klaw_men()", "Wybo`r instalowanych modul`o`w", K_SPEC_MEN(0, 36),
                    "Ins-Zaznacz/Odznacz", {key::kIns}};
    EXPECT_EQ(MENU(kModules, -1, -1, 1, opt), 1);
    EXPECT_EQ(LASTKEY(), key::kIns);
    EXPECT_EQ(handler_calls, 0) << "an ending key ends the menu before the handler";
    ASSERT_NE(okno, kNoWindow) << "the menu leaves its window for reuse";
    WindowHandle first = okno;
    EXPECT_EQ(MENU(kModules, -1, -1, 2, opt), 3);
    EXPECT_EQ(LASTKEY(), key::kEnter);
    EXPECT_EQ(okno, first);
    // 'd' is left to the menu (no item starts with it), then Ctrl+W ends through the handler.
    EXPECT_EQ(MENU(kModules, -1, -1, 4, opt), 4);
    EXPECT_EQ(LASTKEY(), key::kCtrlW);
    EXPECT_EQ(handler_calls, 3);
    EXPECT_NE(screen_at_wait(0).find("Wybór instalowanych modułów"), std::string::npos);
    EXPECT_NE(screen_at_wait(0).find("Ins-Zaznacz/Odznacz"), std::string::npos);
    ZWIN(okno);
    EXPECT_EQ(screen().row_bytes(12), before);
}

TEST_F(DialogsTest, MenuHandlerEndsWithoutChoice) {
    keys({key::kDown, key::kEsc});
    MenuOptions opt;
    opt.key_handler = [] { return LASTKEY() == key::kEsc ? 0 : 2; };
    EXPECT_EQ(MENU(kModules, -1, -1, 1, opt), 0);
}

}  // namespace
}  // namespace qaro::test
