// The screen kit's state, shared by the kit's files (not for callers).
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/screen/kit.h"
#include "platform/screen/screen_model.h"

namespace qaro::kit_detail {

struct ColourSet {
    Attr normal, bold, frame, title, selected, option;
};
const ColourSet& colour_set(int n);

struct Window {
    WindowHandle id = kNoWindow;
    Rect box;             // the frame
    Rect area;            // what it covers (frame and shadow)
    SavedRegion under;    // what was there before
};

struct State {
    ScreenModel screen;
    std::vector<Window> windows;   // bottom to top
    WindowHandle next_id = 1;
    int current_set = 38;
    Attr say_attr = 0x07;
    bool suite_palette = false;
    std::vector<std::string> hints;   // key-hint line texts, the last one shown
    SavedRegion hint_under;           // the bottom row before the first hint
    std::string caption;
    bool title_set = false;
    int last_key = 0;
    std::deque<int> typeahead;
    std::map<int, KeyAction> key_actions;
    std::map<std::string, std::function<int()>> handlers;
    bool in_action = false;
    WindowHandle inner_bar = kNoWindow, outer_bar = kNoWindow;
    InputField* active_field = nullptr;
    bool read_killed = false;
};
State& state();

// Window primitives: the box is drawn framed in the set's colours; `title` in the top border.
WindowHandle open_window(Rect box, bool shadow, bool double_frame, std::string_view title, int set);
bool window_open(WindowHandle id);
Rect window_box(WindowHandle id);

// Lines of a text or array value, converted for display.
std::vector<std::string> lines_of(const Value& v);
std::string text_of(const Value& v);
// Display width of the widest line.
int widest(const std::vector<std::string>& lines);
// A centred box of the given inner size; row/col < 0 centre that coordinate.
Rect place_box(int inner_rows, int inner_cols, int top, int left);
// Writes `text` centred within [left, right] of row r.
void put_centred(int r, int left, int right, std::string_view text, Attr attr);

// The key-hint line with a temporary text while a dialog waits (restored by pop_hint).
void push_hint(std::string_view text);
void pop_hint();
void draw_hint_line();

// Waits for a key with the screen shown. Runs assigned key actions (then returns kNone so the
// caller redraws) and records LASTKEY.
int wait_key();

// Moves `current` (0-based) for a navigation key (arrows wrap, Home/End, PgUp/PgDn by `page`);
// false when the key is not one.
bool navigate(int k, int& current, int count, int page);

}  // namespace qaro::kit_detail
