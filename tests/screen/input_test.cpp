#include <gtest/gtest.h>

#include "kit_fixture.h"

namespace qaro::test {
namespace {

using InputTest = KitTest;

std::vector<int> cat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(InputTest, EditingKeys) {
    struct Case {
        const char* name;
        const char* initial;
        int width;
        std::vector<int> keys;
        bool confirmed;
        const char* stored;
        int last_key;
    };
    const Case cases[] = {
        {"typing overwrites", "abc", 6, cat(typed("xy"), {key::kEnter}), true, "xyc   ", key::kEnter},
        {"Ins inserts", "abc", 6, cat(cat({key::kIns}, typed("xy")), {key::kEnter}), true, "xyabc ", key::kEnter},
        {"Ins toggles back", "abc", 6, cat(cat({key::kIns, key::kIns}, typed("x")), {key::kEnter}), true, "xbc   ",
         key::kEnter},
        {"End appends", "abc", 6, cat(cat({key::kEnd}, typed("d")), {key::kEnter}), true, "abcd  ", key::kEnter},
        {"Home after moving", "abc", 6, cat(cat({key::kRight, key::kRight, key::kHome}, typed("z")), {key::kEnter}),
         true, "zbc   ", key::kEnter},
        {"Left", "abc", 6, cat(cat({key::kEnd, key::kLeft}, typed("Z")), {key::kEnter}), true, "abZ   ", key::kEnter},
        {"Del", "abc", 6, {key::kRight, key::kDel, key::kEnter}, true, "ac    ", key::kEnter},
        {"Backspace", "abc", 6, {key::kEnd, key::kBackspace, key::kEnter}, true, "ab    ", key::kEnter},
        {"Backspace at start", "abc", 6, {key::kBackspace, key::kEnter}, true, "abc   ", key::kEnter},
        {"Ctrl+Y empties", "abc", 6, cat(cat({key::kCtrlY}, typed("q")), {key::kCtrlW}), true, "q     ", key::kCtrlW},
        {"Ctrl+Enter confirms", "abc", 3, {key::kCtrlEnter}, true, "abc", key::kCtrlEnter},
        {"Esc leaves the variable", "abc", 6, cat(typed("zz"), {key::kEsc}), false, "abc", key::kEsc},
        {"typing past the end stays", "abc", 3, cat(typed("wxyz"), {key::kEnter}), true, "wxy", key::kEnter},
        {"a full field takes no insertion", "abc", 3, cat(cat({key::kIns}, typed("x")), {key::kEnter}), true, "abc",
         key::kEnter},
        {"Polish letter", "", 4, cat(typed(P("z`o`l`w")), {key::kEnter}), true, "\xAB\xA2\x88w", key::kEnter},
    };
    for (const auto& c : cases) {
        reset();
        auto& con = keys(c.keys);
        std::string var = c.initial;
        GetList fields{InputField(18, 10, var, c.width)};
        EXPECT_EQ(READMODAL(fields), c.confirmed) << c.name;
        EXPECT_EQ(var, c.stored) << c.name;
        EXPECT_EQ(LASTKEY(), c.last_key) << c.name;
        EXPECT_EQ(con.keys_left(), 0u) << c.name;
        EXPECT_EQ(GETACTIVE(), nullptr);
    }
}

TEST_F(InputTest, FieldIsShownWithTheCursorInIt) {
    keys({key::kRight, key::kEnter});
    std::string var = "C:\\";
    GetList fields{InputField(18, 10, var, 60)};
    READMODAL(fields);
    const ScreenModel& first = con_->snapshots[0];
    EXPECT_EQ(first.row_bytes(18).substr(10, 60), pad_right("C:\\", 60));
    EXPECT_TRUE(first.cursor_visible);
    EXPECT_EQ(first.cursor_row, 18);
    EXPECT_EQ(first.cursor_col, 10);
    EXPECT_EQ(con_->snapshots[1].cursor_col, 11);
    EXPECT_FALSE(screen().cursor_visible) << "the cursor is hidden again";
}

TEST_F(InputTest, SeveralFields) {
    keys(cat(cat(typed("a"), {key::kEnter}), cat(typed("b"), {key::kUp, key::kEnd, 'c', key::kEnter, key::kEnter})));
    std::string one = "", two = "";
    GetList fields{InputField(5, 5, one, 4), InputField(6, 5, two, 4)};
    EXPECT_TRUE(READMODAL(fields));
    EXPECT_EQ(one, "ac  ");
    EXPECT_EQ(two, "b   ");
}

TEST_F(InputTest, KeyActionChangesTheActiveField) {
    // F2 fills the field through GETACTIVE (as a search does), then the user confirms.
    keys(cat({key::kF2, key::kEnd}, cat(typed("X"), {key::kEnter})));
    std::string dokad = "C:\\";
    std::string seen_in_action;
    SETKEY(key::kF2, [&] {
        InputField* g = GETACTIVE();
        ASSERT_NE(g, nullptr);
        seen_in_action = g->text();
        g->set_text("D:\\FIRMA\\");
    });
    GetList fields{InputField(18, 10, dokad, 20)};
    EXPECT_TRUE(READMODAL(fields));
    EXPECT_EQ(seen_in_action, pad_right("C:\\", 20));
    EXPECT_EQ(dokad, pad_right("D:\\FIRMA\\X", 20));
    SETKEY(key::kF2, nullptr);
}

TEST_F(InputTest, KeyActionAssigningTheVariable) {
    keys({key::kF2, key::kEnter});
    std::string dokad = "C:\\";
    SETKEY(key::kF2, [&] { dokad = "E:\\QARO\\"; });
    GetList fields{InputField(18, 10, dokad, 12)};
    EXPECT_TRUE(READMODAL(fields));
    EXPECT_EQ(dokad, "E:\\QARO\\    ");
    SETKEY(key::kF2, nullptr);
}

TEST_F(InputTest, ReadKillEndsTheInput) {
    auto& con = keys({key::kF2, key::kEnter});
    std::string var = "abc";
    SETKEY(key::kF2, [] { READKILL(true); });
    GetList fields{InputField(3, 3, var, 5)};
    EXPECT_FALSE(READMODAL(fields));
    EXPECT_EQ(var, "abc");
    EXPECT_EQ(con.keys_left(), 1u);
    SETKEY(key::kF2, nullptr);
}

}  // namespace
}  // namespace qaro::test
