// Terminal backend: ncurses (wide characters), the OEM bytes shown as their Unicode characters.
#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/screen/console.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/polish_text.h"

namespace qaro {
namespace {

// DOS colour numbers (blue 1, green 2, cyan 3, red 4, ...) to curses colours.
constexpr short kCursesColour[8] = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN,  COLOR_CYAN,
                                    COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};

class TerminalConsole : public Console {
public:
    bool start() {
        std::setlocale(LC_ALL, "");
        // The OEM bytes are shown as Unicode characters: the terminal is spoken to in UTF-8
        // even when the environment names no UTF-8 locale.
        const char* ctype = std::setlocale(LC_CTYPE, nullptr);
        std::string cs = ctype ? ctype : "";
        if (cs.find("UTF-8") == std::string::npos && cs.find("utf8") == std::string::npos)
            std::setlocale(LC_CTYPE, "C.UTF-8");
        if (!newterm(nullptr, stdout, stdin)) return false;
        active_ = true;
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        set_escdelay(25);
        curs_set(0);
        if (has_colors()) {
            start_color();
            // Pair n = background * 8 + foreground; pair 0 is fixed (light grey on black), so
            // that combination and black on black swap places.
            for (int bg = 0; bg < 8; ++bg)
                for (int fg = 0; fg < 8; ++fg) {
                    int n = pair_of(fg, bg);
                    if (n > 0 && n < COLOR_PAIRS) init_pair(static_cast<short>(n), kCursesColour[fg], kCursesColour[bg]);
                }
            colours_ = true;
        }
        return true;
    }

    void show(const ScreenModel& s) override {
        if (!active_) return;
        PolishStandard standard = polish_standard();
        for (int r = 0; r < kScreenRows && r < LINES; ++r)
            for (int c = 0; c < kScreenCols && c < COLS; ++c) {
                const Cell& cell = s.cell(r, c);
                wchar_t wc[2] = {static_cast<wchar_t>(oem_to_unicode(cell.ch, standard)), 0};
                attr_t a = A_NORMAL;
                short pair = 0;
                if (colours_) {
                    pair = static_cast<short>(pair_of(cell.attr & 7, (cell.attr >> 4) & 7));
                    if (pair >= COLOR_PAIRS) pair = 0;
                    if (cell.attr & 8) a |= A_BOLD;
                } else if ((cell.attr >> 4) & 7) {
                    a |= A_REVERSE;
                }
                cchar_t cc;
                setcchar(&cc, wc, a, pair, nullptr);
                // The bottom-right cell is written with insertion so that the screen does not scroll.
                if (r == LINES - 1 && c == COLS - 1) {
                    move(r, c);
                    ins_wch(&cc);
                } else {
                    mvadd_wch(r, c, &cc);
                }
            }
        if (s.cursor_visible) {
            curs_set(1);
            move(s.cursor_row, s.cursor_col);
        } else {
            curs_set(0);
        }
        refresh();
    }

    int read_key(const ScreenModel& s) override {
        show(s);
        for (;;) {
            int k = next_key();
            if (k == kResize) {
                clear();
                show(s);
                continue;
            }
            if (k != key::kNone) return k;
        }
    }

    int poll_key(int milliseconds) override {
        if (!active_) return 0;
        timeout(milliseconds);
        int k = next_key();
        timeout(-1);
        return k == kResize ? 0 : k;
    }

    void set_title(std::string_view utf8) override {
        if (!active_) return;
        std::string t;
        for (char c : utf8)
            if (static_cast<unsigned char>(c) >= 32) t.push_back(c);
        std::fprintf(stdout, "\033]0;%s\007", t.c_str());
        std::fflush(stdout);
        titled_ = true;
    }

    void restore() override {
        if (!active_) return;
        active_ = false;
        curs_set(1);
        endwin();
        if (titled_) {
            std::fputs("\033]0;\007", stdout);
            std::fflush(stdout);
        }
    }

    ~TerminalConsole() override { restore(); }

private:
    static constexpr int kResize = -1000;

    static int pair_of(int fg, int bg) {
        int n = bg * 8 + fg;
        if (n == 7) return 0;
        if (n == 0) return 7;
        return n;
    }

    int next_key() {
        wint_t ch = 0;
        int rc = get_wch(&ch);
        if (rc == ERR) return key::kNone;
        if (rc == KEY_CODE_YES) {
            switch (ch) {
                case KEY_UP: return key::kUp;
                case KEY_DOWN: return key::kDown;
                case KEY_LEFT: return key::kLeft;
                case KEY_RIGHT: return key::kRight;
                case KEY_HOME: return key::kHome;
                case KEY_END: return key::kEnd;
                case KEY_PPAGE: return key::kPgUp;
                case KEY_NPAGE: return key::kPgDn;
                case KEY_IC: return key::kIns;
                case KEY_DC: return key::kDel;
                case KEY_BACKSPACE: return key::kBackspace;
                case KEY_ENTER: return key::kEnter;
                case KEY_RESIZE: return kResize;
                default: break;
            }
            for (int n = 1; n <= 10; ++n)
                if (ch == static_cast<wint_t>(KEY_F(n))) return key::f(n);
            return key::kNone;
        }
        if (ch == '\r') return key::kEnter;
        if (ch == '\n') return key::kCtrlEnter;   // what terminals send for Ctrl+Enter
        if (ch == 127) return key::kBackspace;
        if (ch < 32) return static_cast<int>(ch);  // Esc, Ctrl+W, Ctrl+Y, Tab...
        int oem = unicode_to_oem(static_cast<char32_t>(ch), polish_standard());
        return oem < 0 ? key::kNone : oem;
    }

    bool active_ = false;
    bool colours_ = false;
    bool titled_ = false;
};

}  // namespace

std::unique_ptr<Console> make_terminal_console() {
    auto t = std::make_unique<TerminalConsole>();
    if (!t->start()) return nullptr;
    return t;
}

}  // namespace qaro
