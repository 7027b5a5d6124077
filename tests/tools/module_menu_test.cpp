#include <gtest/gtest.h>

#include "platform/screen/key_codes.h"
#include "platform/screen/kit.h"
#include "screen/kit_fixture.h"
#include "tools/module_menu.h"

namespace qaro {
namespace {

class ModuleMenuTest : public test::KitTest {
protected:
    // The rows of the menu window on the screen of key wait `wait`, as display bytes.
    std::vector<std::string> rows_with(std::size_t wait, std::string_view needle) const {
        std::vector<std::string> out;
        for (int r = 0; r < kScreenRows; ++r) {
            std::string row = con_->snapshots.at(wait).row_bytes(r);
            if (row.find(needle) != std::string::npos) out.push_back(row);
        }
        return out;
    }
};

TEST_F(ModuleMenuTest, MenuLines) {
    // Latin 2: ł is byte 0x88.
    auto lines = PRZYG_OPIS({"Pl`ace", "Umowy zlecenia"}, {true, false});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(" P\x88") + "ace" + std::string(14, ' ') + " \xB3 \xFE ");
    EXPECT_EQ(lines[1], " Umowy zlecenia" + std::string(5, ' ') + " \xB3   ");
    EXPECT_EQ(KODY_RAMEK("*"), "\xFE");

    // Without Polish letters the item keeps its width.
    PLCHANGE(PolishStandard::Plain);
    EXPECT_EQ(PRZYG_OPIS({"Zasil`ki"}, {false})[0], " Zasilki" + std::string(12, ' ') + " \xB3   ");
}

TEST_F(ModuleMenuTest, KeyHandler) {
    struct Case {
        int key;
        int action;
    } cases[] = {
        {key::kCtrlW, 1}, {key::kCtrlEnter, 1}, {key::kEnter, 1}, {key::kIns, 1}, {'A', 1}, {'z', 1},
        {'x', 1},         {'D', 2},             {'d', 2},         {'5', 2},       {' ', 2}, {key::kF2, 2},
        {key::kEsc, 0},
    };
    for (const auto& c : cases) {
        keys({c.key});
        INKEY(0);   // makes it the last key
        EXPECT_EQ(KLAW_MEN(), c.action) << c.key;
    }
}

TEST_F(ModuleMenuTest, ChosenLetters) {
    using namespace key;
    struct Case {
        const char* name;
        std::vector<int> keys;
        const char* letters;
    } cases[] = {
        {"item order, not marking order", {kDown, kDown, kEnter, kUp, kUp, kUp, kEnter, kCtrlW}, "PK"},
        {"Enter twice on one item", {kEnter, kUp, kEnter, kCtrlW}, ""},
        {"nothing marked", {kCtrlW}, ""},
        {"Esc after marking", {kEnter, kEnter, kEsc}, ""},
        {"Ins marks and moves on", {kIns, kIns, kIns, kCtrlW}, "PBK"},
        {"wrap from the last item to the first", {kUp, kEnter, kEnter, kCtrlW}, "PU"},
        {"a letter reopens on the same item", {kDown, 'x', kEnter, kCtrlW}, "B"},
        {"D is left to the menu", {'D', kEnter, kCtrlEnter}, "P"},
        {"all of them", {kEnter, kEnter, kEnter, kEnter, kEnter, kEnter, kEnter, kCtrlW}, "PBKOTZU"},
    };
    for (const auto& c : cases) {
        reset();
        auto& con = keys(c.keys);
        EXPECT_EQ(WYBIERZ_MOD(), c.letters) << c.name;
        EXPECT_EQ(con.keys_left(), 0u) << c.name;
        EXPECT_FALSE(con.exhausted) << c.name;
    }
}

TEST_F(ModuleMenuTest, ScreenWhileChoosing) {
    keys({});
    STATLINE("previous hint");
    const std::string before = all_rows();
    auto& con = keys({key::kDown, key::kEnter, key::kCtrlW});
    EXPECT_EQ(WYBIERZ_MOD(), "B");
    ASSERT_EQ(con.snapshots.size(), 3u);

    const std::string first = screen_at_wait(0);
    EXPECT_NE(first.find("Wybór instalowanych modułów"), std::string::npos) << first;
    EXPECT_NE(first.find("Ins-Zaznacz/Odznacz"), std::string::npos);
    for (const char* item : {"Płace", "Bank", "Kadry", "Podatek", "Pomost", "Zasiłki", "Umowy zlecenia"})
        EXPECT_NE(first.find(item), std::string::npos) << item;
    EXPECT_TRUE(rows_with(0, "\xFE").empty());   // nothing marked at first

    // After Enter on Bank: Bank is marked and the menu reopened on Kadry in the same window.
    auto marked = rows_with(2, "\xFE");
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_NE(marked[0].find("Bank"), std::string::npos);
    EXPECT_EQ(rows_with(2, "\xDA").size(), 1u);   // one window frame only

    EXPECT_EQ(all_rows(), before);   // window closed, hint line back
    EXPECT_NE(screen_row(24).find("previous hint"), std::string::npos);
}

}  // namespace
}  // namespace qaro
