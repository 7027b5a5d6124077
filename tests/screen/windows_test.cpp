#include <gtest/gtest.h>

#include "kit_fixture.h"

namespace qaro::test {
namespace {

using WindowsTest = KitTest;

// Snapshot of the whole model for exact comparisons.
std::vector<Cell> cells(const ScreenModel& s) {
    std::vector<Cell> v;
    for (int r = 0; r < kScreenRows; ++r)
        for (int c = 0; c < kScreenCols; ++c) v.push_back(s.cell(r, c));
    return v;
}

TEST_F(WindowsTest, ClosingWindowsRestoresExactlyWhatWasUnder) {
    keys({});
    K_ZMIEN_PALETE();
    K_SET_ZESTAW(38);
    K_CLEAR(1);
    say(5, 5, "tekst pod oknami");
    auto before = cells(screen());
    WindowHandle a = ROZWIN(-2, 2, 2, 12, 40, "Modul`y", 38);
    auto with_a = cells(screen());
    WindowHandle b = ROZWIN(-2, 8, 20, 20, 70, "Drugie", 37);
    EXPECT_NE(cells(screen()), with_a);
    ZWIN(b);
    EXPECT_EQ(cells(screen()), with_a);
    ZWIN(a);
    EXPECT_EQ(cells(screen()), before);
    // Closing again, or closing "no window", changes nothing.
    ZWIN(a);
    ZWIN(kNoWindow);
    EXPECT_EQ(cells(screen()), before);
}

TEST_F(WindowsTest, ClosingAnOlderWindowKeepsTheNewerOneIntact) {
    keys({});
    K_CLEAR(1);
    auto before = cells(screen());
    WindowHandle a = ROZWIN(-2, 2, 2, 12, 40, "A", 38);
    WindowHandle b = ROZWIN(-2, 8, 20, 20, 70, "B", 36);
    // The newer window covers part of the older one; its content must survive.
    Cell b_corner = screen().cell(8, 20);
    Cell b_inside = screen().cell(10, 30);
    ZWIN(a);
    EXPECT_EQ(screen().cell(8, 20), b_corner);
    EXPECT_EQ(screen().cell(10, 30), b_inside);
    EXPECT_EQ(screen().cell(3, 3), before[3 * kScreenCols + 3]);   // uncovered part of A is gone
    ZWIN(b);
    EXPECT_EQ(cells(screen()), before);
}

TEST_F(WindowsTest, BackgroundWindowTitleGoesToTheTerminal) {
    auto& con = keys({});
    ROZWIN(2, 0, 0, 22, 79, "Instalacja systemu \xAFqaroVORANTA\xAE/wersja 27.10", 32);
    EXPECT_EQ(con.title, "Instalacja systemu »qaroVORANTA«/wersja 27.10");
    EXPECT_NE(screen_row(0).find("Instalacja systemu »qaroVORANTA«/wersja 27.10"), std::string::npos);
    EXPECT_NE(screen_row(0).find("╔"), std::string::npos);
}

TEST_F(WindowsTest, Kom3WaitsForOneKeyAndShowsConvertedText) {
    struct Case {
        PolishStandard standard;
        const char* shown;
    };
    for (auto c : {Case{PolishStandard::Latin2, "Błąd podczas tworzenia kartoteki !"},
                   Case{PolishStandard::Mazowia, "Błąd podczas tworzenia kartoteki !"},
                   Case{PolishStandard::Plain, "Blad podczas tworzenia kartoteki !"}}) {
        reset();
        PLCHANGE(c.standard);
        auto& con = keys({'x', key::kEnter});
        auto before = cells(screen());
        EXPECT_EQ(KOM3("Bl`a`d podczas tworzenia kartoteki !", 0, 0, 3), 'x');
        ASSERT_EQ(con.snapshots.size(), 1u);
        EXPECT_EQ(con.keys_left(), 1u);
        EXPECT_NE(screen_at_wait(0).find(c.shown), std::string::npos) << screen_at_wait(0);
        EXPECT_EQ(cells(screen()), before);
    }
}

TEST_F(WindowsTest, Kom3ShowsEveryLineOfAnArray) {
    keys({key::kEnter});
    KOM3(Value(Array{"Kartoteka C:\\FIRMA\\ nie jest pusta,", "jednak nie jest w niej zainstalowany system !"}), 0, 0, 3);
    std::string s = screen_at_wait(0);
    EXPECT_NE(s.find("Kartoteka C:\\FIRMA\\ nie jest pusta,"), std::string::npos);
    EXPECT_NE(s.find("jednak nie jest w niej zainstalowany system !"), std::string::npos);
}

TEST_F(WindowsTest, WorkingWindowsStayOpenUntilClosed) {
    auto& con = keys({key::kEnter});
    auto before = cells(screen());
    WindowHandle h = KOM4("modyfikacja baz danych", 9);
    EXPECT_NE(screen_row(9).find("modyfikacja baz danych"), std::string::npos);
    WindowHandle k = KOM5(Value(Array{"Wprowadz` pel`na` s`ciex`ke`", ""}), 6, 0, "Wprowadz` kartoteke`");
    EXPECT_NE(k, kNoWindow);
    EXPECT_TRUE(con.snapshots.empty()) << "KOM4 and an open KOM5 must not wait for a key";
    EXPECT_NE(all_rows().find("Wprowadź pełną ścieżkę"), std::string::npos);
    ZWIN(k);
    ZWIN(h);
    EXPECT_EQ(cells(screen()), before);
    // With a wait argument KOM5 waits for one key and closes.
    EXPECT_EQ(KOM5(Value(Array{"Instalacja zakon`czona.", "", "Nacis`nij dowolny klawisz ..."}), 3, Value(),
                   "Zakon`czenie instalacji ...", Value(), 38, true),
              kNoWindow);
    EXPECT_EQ(con.snapshots.size(), 1u);
    EXPECT_NE(screen_at_wait(0).find("Zakończenie instalacji"), std::string::npos);
    EXPECT_EQ(cells(screen()), before);
}

TEST_F(WindowsTest, Kom5WithSecondsWaits) {
    auto& con = keys({key::kEnter});
    EXPECT_EQ(KOM5(Value(Array{"Wl`o`x` dyskietke`"}), Value(), Value(), "Uwaga", 0, 37), kNoWindow);
    EXPECT_EQ(con.snapshots.size(), 1u);
}

TEST_F(WindowsTest, HintLineKeepsPreviousTexts) {
    keys({});
    STATLINE("Enter/Ctrl_W-Potwierdzenie,Esc-Rezygnacja");
    STATLINE("ESC-przerwanie");
    EXPECT_NE(screen_row(24).find("ESC-przerwanie"), std::string::npos);
    STATLINE(-1);
    EXPECT_NE(screen_row(24).find("Enter/Ctrl_W-Potwierdzenie,Esc-Rezygnacja"), std::string::npos);
    DAJ_WZORZEC(Value(), "Usuwanie atrybuto`w READONLY");
    EXPECT_NE(screen_row(23).find("Usuwanie atrybutów READONLY"), std::string::npos);
    DAJ_WZORZEC(Value(), "");
    EXPECT_EQ(screen_row(23).find("Usuwanie"), std::string::npos);
}

TEST_F(WindowsTest, ColourSets) {
    keys({});
    EXPECT_EQ(K_SET_ZESTAW(36), 38);
    EXPECT_EQ(K_SET_ZESTAW(32), 36);
    K_NORM();
    say(1, 1, "n");
    K_BOLD(-1);
    say(1, 2, "b");
    EXPECT_NE(screen().cell(1, 1).attr, screen().cell(1, 2).attr);
    // Different sets draw differently.
    WindowHandle a = ROZWIN(-2, 2, 2, 6, 20, "", 36);
    Attr menu = screen().cell(3, 3).attr;
    ZWIN(a);
    ROZWIN(-2, 2, 2, 6, 20, "", 37);
    EXPECT_NE(screen().cell(3, 3).attr, menu);
    EXPECT_EQ(KODY_RAMEK("*"), "\xFE");
    STARY_GEN();
    EXPECT_EQ(screen().cell(3, 3), (Cell{' ', 0x07}));
    EXPECT_TRUE(screen().cursor_visible);
}

TEST_F(WindowsTest, TypeAheadAndKeyActions) {
    auto& con = keys({key::kF2, key::kEnter, 'z'});
    KEYBOARD("a");
    EXPECT_EQ(INKEY(0), 'a');
    EXPECT_TRUE(con.snapshots.empty());
    KEYBOARD("bc");
    CLEAR_KEYBOARD();
    int runs = 0;
    EXPECT_FALSE(SETKEY(key::kF2, [&] { ++runs; }));
    // F2 runs its action inside a dialog's wait; the dialog goes on.
    EXPECT_EQ(KOM3("F2 i Enter"), key::kEnter);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(SETKEY(key::kF2, nullptr));
    EXPECT_EQ(INKEY(0), 'z');
    EXPECT_EQ(LASTKEY(), 'z');
    EXPECT_EQ(INKEY(0.01), 0);
    EXPECT_TRUE(K_CLOSE(key::kCtrlW));
    EXPECT_TRUE(K_CLOSE(key::kCtrlEnter));
    EXPECT_FALSE(K_CLOSE(key::kEnter));
}

}  // namespace
}  // namespace qaro::test
