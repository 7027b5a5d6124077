#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/kit.h"
#include "screen/kit_fixture.h"
#include "support/sandbox.h"
#include "tools/search.h"

namespace qaro {
namespace {

using test::RecordingConsole;
using test::Sandbox;

// Plays keys for real waits; each Esc poll of the search is counted, can be answered with Esc,
// and records the "current directory" line and the key-hint line as they stand at that moment.
class SearchConsole : public RecordingConsole {
public:
    using RecordingConsole::RecordingConsole;
    int poll_key(int) override {
        ++polls;
        shown.push_back(screen().row_bytes(13).substr(15, 50));
        hint_rows.push_back(screen_row(24));
        if (polls == 2) {
            for (int r = 0; r < kScreenRows; ++r) second_poll_screen += screen_row(r) + "\n";
        }
        return polls == esc_at ? key::kEsc : 0;
    }
    int polls = 0;
    int esc_at = -1;
    std::vector<std::string> shown;   // raw 50-byte field
    std::vector<std::string> hint_rows;
    std::string second_poll_screen;
};

class SearchTest : public test::KitTest {
protected:
    explicit SearchTest(const std::string& drives = "CDE") : box_(drives) {}
    void SetUp() override {
        KitTest::SetUp();
        script({});   // no key wait expected until a test gives keys
    }

    SearchConsole& script(std::vector<int> k, int esc_at = -1) {
        auto c = std::make_unique<SearchConsole>(std::move(k));
        c->esc_at = esc_at;
        search_ = c.get();
        con_ = c.get();
        set_console(std::move(c));
        return *search_;
    }
    // A directory (host path relative to the drive root, '/'-separated).
    void dir(char drive, const std::string& rel) { std::filesystem::create_directories(box_.host(drive, rel)); }
    void system_in(char drive, const std::string& rel) {
        std::string base = rel.empty() ? "" : rel + "/";
        box_.write_host(drive, base + "PLACE.DBN", "x");
        box_.write_host(drive, base + "QAROPL.XPF", "x");
    }
    // Trimmed directories shown on the "current directory" line, in order, without repeats.
    std::vector<std::string> shown_dirs() const {
        std::vector<std::string> out;
        for (const auto& s : search_->shown) {
            std::string t = alltrim(s);
            if (t.empty() || t.find(':') == std::string::npos) continue;
            if (out.empty() || out.back() != t) out.push_back(t);
        }
        return out;
    }
    // Menu lines (frame interiors) on the screen of key wait `wait`.
    std::vector<std::string> menu_items(std::size_t wait) const {
        std::vector<std::string> items;
        const auto& s = con_->snapshots.at(wait);
        for (int r = 0; r < kScreenRows; ++r) {
            std::string row = s.row_bytes(r);
            auto a = row.find('\xB3');
            if (a == std::string::npos) continue;
            auto b = row.find('\xB3', a + 1);
            if (b == std::string::npos) continue;
            std::string inner = alltrim(row.substr(a + 1, b - a - 1));
            if (!inner.empty()) items.push_back(inner);
        }
        return items;
    }
    bool screen_shows(std::size_t wait, const std::string& utf8) const {
        return screen_at_wait(wait).find(utf8) != std::string::npos;
    }

    Sandbox box_;
    SearchConsole* search_ = nullptr;
    const std::vector<std::string> markers_ = system_marker_files();
};

// ---- drive and directory tests ----

TEST_F(SearchTest, DirectoryAndFileTests) {
    dir('C', "EMPTY");
    box_.write_host('C', "FIRMA/PLACE.DBN", "x");
    box_.write_host('C', "FIRMA/QAROPL.XPF", "x");
    struct Case {
        const char* path;
        bool is_dir;
    } cases[] = {
        {"C:\\EMPTY", true},   {"C:\\EMPTY\\", true},          {"c:\\empty", true},
        {"C:\\FIRMA", true},   {"C:\\MISSING", false},         {"C:\\FIRMA\\PLACE.DBN", false},
        {"D:\\", false},       // an empty drive root lists nothing
        {"C:\\", true},        {"Q:\\", false},
    };
    for (const auto& c : cases) EXPECT_EQ(N_ISDIR(c.path), c.is_dir) << c.path;

    EXPECT_TRUE(IF_FILES("C:\\FIRMA\\", markers_));
    EXPECT_TRUE(IF_FILES("C:\\FIRMA", {"place.dbn", "qaropl.xpf"}));   // names without regard to case
    EXPECT_TRUE(IF_FILES("C:\\EMPTY\\", {}));
    EXPECT_FALSE(IF_FILES("C:\\FIRMA\\", {"PLACE.DBN", "QAROPL.MEM"}));
    EXPECT_FALSE(IF_FILES("C:\\EMPTY\\", markers_));
    EXPECT_EQ(markers_, (std::vector<std::string>{"PLACE.DBN", "QAROPL.XPF"}));
}

TEST_F(SearchTest, DrivesFromCToZ) {
    EXPECT_TRUE(IS_DRIVE("C"));
    EXPECT_TRUE(IS_DRIVE("d"));    // an empty mapped drive is there
    EXPECT_FALSE(IS_DRIVE("F"));
    EXPECT_FALSE(IS_DRIVE(""));
    EXPECT_EQ(FIRST_DRIVE(), "C:\\");
}

class DiskettesOnly : public SearchTest {
protected:
    DiskettesOnly() : SearchTest("AB") {}
};

TEST_F(DiskettesOnly, NoDriveFromCToZ) {
    EXPECT_TRUE(IS_DRIVE("A"));
    EXPECT_EQ(FIRST_DRIVE(), "");
    script({key::kEnter});
    EXPECT_EQ(SZUKAJ_FIRMY(""), "");
    EXPECT_EQ(menu_items(0), std::vector<std::string>{"wszystkie"});
}

class LaterDrive : public SearchTest {
protected:
    LaterDrive() : SearchTest("AE") {}
};

TEST_F(LaterDrive, FirstDriveSkipsDiskettesAndMissingLetters) { EXPECT_EQ(FIRST_DRIVE(), "E:\\"); }

// ---- the scan ----

TEST_F(SearchTest, ScanFindsASystemAndRestoresTheScreen) {
    dir('C', "A");
    system_in('C', "B/FIRMA");
    dir('C', "Z");
    STATLINE("previous hint");
    const std::string before = all_rows();
    auto& c = script({'N'});   // "no": stop here and take it

    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "C:\\B\\FIRMA\\");
    ASSERT_EQ(c.snapshots.size(), 1u);
    EXPECT_NE(c.second_poll_screen.find("Trwa przeszukiwanie"), std::string::npos) << c.second_poll_screen;
    EXPECT_NE(c.second_poll_screen.find("Aktualnie przeszukiwany katalog:"), std::string::npos);
    EXPECT_TRUE(screen_shows(0, "System firma został znaleziony w katalogu:"));
    EXPECT_TRUE(screen_shows(0, "\"C:\\B\\FIRMA\\\""));
    EXPECT_TRUE(screen_shows(0, "Czy kontunuować przeszukiwanie ?"));
    EXPECT_NE(c.hint_rows.at(0).find("ESC-przerwanie"), std::string::npos);
    // Depth first, in listing order; the taken directory's siblings (Z) are not visited.
    EXPECT_EQ(shown_dirs(), (std::vector<std::string>{"C:\\", "C:\\A\\", "C:\\B\\"}));
    EXPECT_EQ(c.polls, 4);
    EXPECT_EQ(all_rows(), before);   // window closed, colours and hint line restored
}

TEST_F(SearchTest, ShownPathIsCentredOrShortened) {
    // 8-character names make a path of 3 + 9 * 6 = 57 characters.
    const std::string rel = "AAAAAAAA/BBBBBBBB/CCCCCCCC/DDDDDDDD/EEEEEEEE/FFFFFFFF";
    dir('C', rel);
    dir('C', rel + "/Z");   // polled after its parent was shown
    script({});
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "");
    const std::string long_path = "C:\\AAAAAAAA\\BBBBBBBB\\CCCCCCCC\\DDDDDDDD\\EEEEEEEE\\FFFFFFFF\\";
    const std::string short_form = long_path.substr(0, 23) + "\\...\\" + long_path.substr(long_path.size() - 22);
    ASSERT_EQ(short_form.size(), 50u);
    EXPECT_NE(std::find(search_->shown.begin(), search_->shown.end(), short_form), search_->shown.end());
    const std::string root_field = std::string(23, ' ') + "C:\\" + std::string(24, ' ');
    EXPECT_EQ(search_->shown.at(1), root_field);
}

TEST_F(SearchTest, DepthLimitTen) {
    // Depth 10 is examined, depth 11 never (not even shown).
    const std::string d10 = "1/2/3/4/5/6/7/8/9/A";
    system_in('C', d10);
    system_in('C', d10 + "/B");
    dir('C', "Z");
    script({'T'});   // "yes, go on" at depth 10
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "");
    EXPECT_EQ(con_->snapshots.size(), 1u);   // one question only: the depth-11 system was not examined
    // The last directory shown before C:\Z\ was polled is the depth-10 one.
    EXPECT_EQ(shown_dirs().back(), "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\A\\");

    // A search started deeper counts depth from its start.
    script({'T', 'N'});
    EXPECT_EQ(SCAN_DRIVE("C:\\1\\", markers_), "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\A\\B\\");
}

TEST_F(SearchTest, PathLimitSixtyFourCharacters) {
    // 3 + 9 * 6 = 57; a seventh name of 6 characters gives 64 with the backslash, of 7 gives 65.
    const std::string base = "AAAAAAAA/BBBBBBBB/CCCCCCCC/DDDDDDDD/EEEEEEEE/FFFFFFFF/";
    system_in('C', base + "G64SYS");
    system_in('C', base + "H65SYSX");
    system_in('C', base + "H65SYSX/I");   // below a skipped directory
    script({'T'});
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "");
    ASSERT_EQ(con_->snapshots.size(), 1u);
    EXPECT_TRUE(screen_shows(0, "G64SYS\\\""));
}

TEST_F(SearchTest, GoingOnSearchesInsideFirstThenSiblings) {
    system_in('C', "A");
    system_in('C', "A/SUB");
    system_in('C', "B");
    script({'T', 'T', 'N'});
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "C:\\B\\");
    ASSERT_EQ(con_->snapshots.size(), 3u);
    EXPECT_TRUE(screen_shows(0, "\"C:\\A\\\""));
    EXPECT_TRUE(screen_shows(1, "\"C:\\A\\SUB\\\""));
    EXPECT_TRUE(screen_shows(2, "\"C:\\B\\\""));

    script({'T', 'N'});
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), "C:\\A\\SUB\\");
}

TEST_F(SearchTest, EscEndsEveryLevelAtOnce) {
    dir('C', "A/B/C");
    dir('C', "D");
    system_in('C', "E");
    STATLINE("previous hint");
    auto& c = script({key::kEnter}, 4);   // Esc at the fourth directory, C:\A\B\C
    EXPECT_EQ(SCAN_DRIVE("C:\\", markers_), std::string(kSearchInterrupted));
    EXPECT_EQ(c.polls, 4);   // no level went on after the Esc
    ASSERT_EQ(c.snapshots.size(), 1u);   // the message, no question about C:\E
    EXPECT_TRUE(screen_shows(0, "Przeszukiwanie katalogów zostało przerwane przez użytkownika"));
    EXPECT_FALSE(screen_shows(0, "Trwa przeszukiwanie"));
    EXPECT_NE(screen_row(24).find("previous hint"), std::string::npos);

    // Through the drive menu the interruption reads as nothing found.
    script({key::kDown, key::kEnter, key::kEnter}, 2);
    EXPECT_EQ(SZUKAJ_FIRMY(""), "");
    EXPECT_TRUE(screen_shows(2, "przerwane przez użytkownika"));
}

TEST_F(SearchTest, UnreadableOrMissingStartFindsNothing) {
    script({});
    EXPECT_EQ(SCAN_DRIVE("C:\\MISSING", markers_), "");
    EXPECT_EQ(SCAN_DRIVE("F:\\", markers_), "");
    EXPECT_TRUE(con_->snapshots.empty());
}

// ---- the drive menu ----

TEST_F(SearchTest, DriveMenuChoices) {
    dir('D', "KADRY");
    struct Case {
        Value typed;
        std::vector<std::string> items;
    } cases[] = {
        {Value(""), {"wszystkie", "C:", "D:", "E:"}},
        {Value("D:"), {"wszystkie", "C:", "D:", "E:"}},           // a bare drive adds nothing
        {Value("D:\\"), {"wszystkie", "C:", "D:", "E:"}},
        {Value("  D:\\KADRY\\  "), {"wszystkie", "D:\\KADRY", "C:", "D:", "E:"}},
        {Value("d:\\kadry"), {"wszystkie", "d:\\kadry", "C:", "D:", "E:"}},
        {Value("D:\\NIEMA\\"), {"wszystkie", "C:", "D:", "E:"}},   // only an existing directory
        {Value(5), {"wszystkie", "C:", "D:", "E:"}},              // not a text: as ""
    };
    for (const auto& c : cases) {
        script({key::kEsc});
        EXPECT_EQ(SZUKAJ_FIRMY(c.typed), "");
        EXPECT_EQ(menu_items(0), c.items) << c.typed.text();
        EXPECT_TRUE(screen_shows(0, "Wybierz Dysk"));
    }
}

TEST_F(SearchTest, LongTypedDirectoryWidensEveryChoice) {
    dir('D', "KADRY/FIRMA2024");
    script({key::kEsc});
    SZUKAJ_FIRMY("D:\\KADRY\\FIRMA2024");
    // All choices are centred to the typed directory's 18 characters: "wszystkie" gets 4 blanks
    // before it, a drive 8.
    const auto& s = con_->snapshots.at(0);
    int wszystkie_col = -1, typed_col = -1, drive_col = -1;
    for (int r = 0; r < kScreenRows; ++r) {
        std::string row = s.row_bytes(r);
        if (auto p = row.find("wszystkie"); p != std::string::npos) wszystkie_col = static_cast<int>(p);
        if (auto p = row.find("D:\\KADRY"); p != std::string::npos) typed_col = static_cast<int>(p);
        if (auto p = row.find("E:"); p != std::string::npos) drive_col = static_cast<int>(p);
    }
    ASSERT_GE(typed_col, 0);
    EXPECT_EQ(wszystkie_col - typed_col, 4);
    EXPECT_EQ(drive_col - typed_col, 8);
}

TEST_F(SearchTest, AllDrivesSkipsTheTypedDirectory) {
    system_in('D', "KADRY");
    system_in('E', "FIRMA");
    script({key::kEnter, 'N'});   // "wszystkie", then take the first system found
    EXPECT_EQ(SZUKAJ_FIRMY("D:\\KADRY\\"), "D:\\KADRY\\");   // found while searching drive D:
    EXPECT_TRUE(screen_shows(1, "\"D:\\KADRY\\\""));

    // Going on past D:\KADRY leads to E:, never back to the typed directory.
    script({key::kEnter, 'T', 'N'});
    EXPECT_EQ(SZUKAJ_FIRMY("D:\\KADRY\\"), "E:\\FIRMA\\");
    EXPECT_EQ(con_->snapshots.size(), 3u);
}

TEST_F(SearchTest, ChosenEntryIsSearchedAlone) {
    system_in('C', "FIRMA");
    system_in('D', "KADRY/STARA");
    script({key::kDown, key::kEnter, 'N'});   // the typed directory
    EXPECT_EQ(SZUKAJ_FIRMY("D:\\KADRY"), "D:\\KADRY\\STARA\\");

    script({key::kDown, key::kDown, key::kDown, key::kDown, key::kEnter});   // E: holds nothing
    EXPECT_EQ(SZUKAJ_FIRMY("D:\\KADRY"), "");
    EXPECT_EQ(con_->snapshots.size(), 5u);   // menu waits only, no question

    script({key::kDown, key::kEnter, 'N'});   // C:
    EXPECT_EQ(SZUKAJ_FIRMY(""), "C:\\FIRMA\\");
}

// ---- F2 in the directory entry ----

TEST_F(SearchTest, F2FillsTheEntryField) {
    system_in('C', "FIRMA");
    struct Case {
        const char* name;
        std::string start;
        std::vector<int> keys;   // after F2
        std::string field;       // trimmed result
    } cases[] = {
        {"empty, nothing found", "", {key::kDown, key::kDown, key::kEnter}, ""},
        {"typed, nothing found", "C:\\NIC", {key::kDown, key::kDown, key::kEnter}, "C:\\NIC"},
        {"typed, menu left", "C:\\NIC", {key::kEsc}, "C:\\NIC"},
        {"typed, system taken", "C:\\NIC", {key::kEnter, 'N'}, "C:\\FIRMA\\"},
        {"empty, system taken", "", {key::kEnter, 'N'}, "C:\\FIRMA\\"},
    };
    for (const auto& c : cases) {
        reset();
        std::string dokad = c.start;
        SETKEY(key::kF2, [&] { dokad = GET_SZUK_FIR(1); });
        std::vector<int> keys = {key::kF2};
        keys.insert(keys.end(), c.keys.begin(), c.keys.end());
        keys.push_back(key::kCtrlW);
        auto& con = script(keys);
        GetList fields;
        fields.emplace_back(18, 10, dokad, 60);
        EXPECT_TRUE(READMODAL(fields)) << c.name;
        EXPECT_EQ(con.keys_left(), 0u) << c.name;
        EXPECT_EQ(dokad, pad_right(c.field, 60)) << c.name;
        // F2 has its action back.
        EXPECT_TRUE(static_cast<bool>(SETKEY(key::kF2, nullptr))) << c.name;
    }
}

TEST_F(SearchTest, F2WithoutAnEntryField) {
    system_in('C', "FIRMA");
    script({key::kEnter, 'N'});
    EXPECT_EQ(GET_SZUK_FIR(1), "C:\\FIRMA\\");
    script({});
    EXPECT_EQ(GET_SZUK_FIR(2), "");   // only co = 1 searches
    EXPECT_TRUE(con_->snapshots.empty());
}

}  // namespace
}  // namespace qaro
