#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "kit_fixture.h"
#include "platform/file_system.h"

namespace qaro::test {
namespace {

using ProgressTest = KitTest;
using ViewerTest = KitTest;

// Filled cells of a bar in its window and the percentage written after it.
int filled(WindowHandle, int row) {
    int n = 0;
    for (int c = 0; c < kScreenCols; ++c) n += screen().cell(row, c).ch == 0xDB;
    return n;
}
int bar_row(int first, int last) {
    for (int r = first; r <= last; ++r)
        if (screen().row_bytes(r).find('\xB0') != std::string::npos ||
            screen().row_bytes(r).find('\xDB') != std::string::npos)
            return r;
    return -1;
}

TEST_F(ProgressTest, BarsClampToTheirLimits) {
    keys({});
    struct Case {
        double done, total;
        int cells;
        const char* percent;
    };
    const Case cases[] = {
        {0, 10, 0, "  0%"},    {5, 10, 25, " 50%"},  {10, 10, 50, "100%"}, {15, 10, 50, "100%"},
        {-3, 10, 0, "  0%"},   {5, 0, 0, "  0%"},    {1, 1, 50, "100%"},   {1, 3, 16, " 33%"},
        {7, -1, 0, "  0%"},
    };
    auto before = screen().row_bytes(18);
    WindowHandle outer = INITDBASE();
    WindowHandle inner = INITPROGRES();
    int outer_row = bar_row(13, 16), inner_row = bar_row(17, 20);
    ASSERT_GT(outer_row, 0);
    ASSERT_GT(inner_row, outer_row);
    for (const auto& c : cases) {
        GOPROGRES(c.done, c.total);
        EXPECT_EQ(filled(inner, inner_row), c.cells) << c.done << "/" << c.total;
        EXPECT_NE(screen().row_bytes(inner_row).find(c.percent), std::string::npos) << c.done << "/" << c.total;
        GODBASE(c.done, c.total);
        EXPECT_EQ(filled(outer, outer_row), c.cells);
    }
    ZWIN(inner);
    ZWIN(outer);
    EXPECT_EQ(screen().row_bytes(18), before);
    GOPROGRES(1, 2);   // a closed bar is not drawn
    EXPECT_EQ(screen().row_bytes(18), before);
}

std::string numbered_lines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += "wiersz " + std::to_string(i) + " tekstu\r\n";
    return s + "\x1A";
}

TEST_F(ViewerTest, ScrollsAndLeaves) {
    auto& con = keys({key::kPgDn, key::kDown, key::kUp, key::kEnd, key::kCtrlW});
    auto before = screen().row_bytes(5);
    EXPECT_TRUE(EDYT_OPIS(numbered_lines(60), "Warunki instalacji", Value(), false, false, false, 80));
    ASSERT_EQ(con.snapshots.size(), 5u);
    EXPECT_NE(screen_at_wait(0).find("Warunki instalacji"), std::string::npos);
    EXPECT_NE(row_at_wait(0, 1).find("wiersz 1 tekstu"), std::string::npos);
    EXPECT_NE(row_at_wait(1, 1).find("wiersz 22 tekstu"), std::string::npos) << "PgDn moves one page";
    EXPECT_NE(row_at_wait(2, 1).find("wiersz 23 tekstu"), std::string::npos);
    EXPECT_NE(row_at_wait(3, 1).find("wiersz 22 tekstu"), std::string::npos);
    EXPECT_NE(row_at_wait(4, 21).find("wiersz 60 tekstu"), std::string::npos) << "End shows the last page";
    EXPECT_EQ(screen().row_bytes(5), before);
}

TEST_F(ViewerTest, QuestionAfterTheText) {
    struct Case {
        std::vector<int> keys;
        bool accepted;
    };
    const Case cases[] = {
        {{key::kEnter, 't'}, true},
        {{key::kEsc, 'T'}, true},
        {{key::kCtrlW, 'n'}, false},
        {{key::kEnter, key::kEnter}, false},   // "Nie" is highlighted at first
        {{key::kEnter, key::kEsc}, false},
    };
    for (const auto& c : cases) {
        reset();
        auto& con = keys(c.keys);
        EXPECT_EQ(EDYT_OPIS("Licencja\r\n", "Warunki licencji", Value(), false, false, false, 80,
                            "Czy akceptujesz warunki licencji ?",
                            Value(Array{"Kontynuacja instalacji jest traktowana jako zapoznanie sie`",
                                        "i zaakceptowanie warunko`w licencji oprogramowania!"})),
                  c.accepted);
        EXPECT_EQ(con.keys_left(), 0u);
    }
    std::string s = screen_at_wait(1);
    EXPECT_NE(s.find("Czy akceptujesz warunki licencji ?"), std::string::npos);
    EXPECT_NE(s.find("zapoznanie się"), std::string::npos);
}

TEST_F(ViewerTest, LongLinesWrapAndTabsExpand) {
    keys({key::kEnter});
    EDYT_OPIS(std::string(100, 'a') + "\n\tb", "T", Value(), false, false, false, 80);
    EXPECT_NE(row_at_wait(0, 1).find(std::string(76, 'a')), std::string::npos);
    EXPECT_NE(row_at_wait(0, 2).find(std::string(24, 'a') + " "), std::string::npos);
    EXPECT_NE(row_at_wait(0, 3).find("        b"), std::string::npos);
}

TEST(ReadFile, ReadsThroughTheFileLayer) {
    namespace stdfs = std::filesystem;
    auto dir = stdfs::temp_directory_path() / "qaro_readfile_test";
    stdfs::create_directories(dir);
    std::ofstream(dir / "licencja.txt", std::ios::binary) << "Tekst\r\nlicencji";
    // With the default drive mapping C: is the host root.
    std::string dos = "C:" + dir.string();
    for (auto& ch : dos)
        if (ch == '/') ch = '\\';
    std::string text = "old";
    ASSERT_TRUE(READFILE(dos + "\\LICENCJA.TXT", text)) << dos;
    EXPECT_EQ(text, "Tekst\r\nlicencji");
    text = "kept";
    EXPECT_FALSE(READFILE(dos + "\\brak.txt", text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(READFILE(dos, text)) << "a directory is not a file";
    stdfs::remove_all(dir);
}

}  // namespace
}  // namespace qaro::test
