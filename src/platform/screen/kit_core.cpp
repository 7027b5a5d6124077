// Kit state, windows, colours, the key-hint line and key reading.
#include <algorithm>

#include "platform/screen/console.h"
#include "platform/screen/kit_state.h"

namespace qaro {
namespace kit_detail {

State& state() {
    static State s;
    return s;
}

const ColourSet& colour_set(int n) {
    //                                 normal bold  frame title selected option
    static const ColourSet kBackground{0x1F, 0x1E, 0x1B, 0x1E, 0x70, 0x1F};   // 32
    static const ColourSet kMenu{0x30, 0x3F, 0x3F, 0x3E, 0x1F, 0x30};         // 36
    static const ColourSet kWarning{0x4F, 0x4E, 0x4F, 0x4E, 0x70, 0x4F};      // 37
    static const ColourSet kDialog{0x70, 0x71, 0x7F, 0x71, 0x1F, 0x70};       // 38 and others
    switch (n) {
        case 32: return kBackground;
        case 36: return kMenu;
        case 37: return kWarning;
        default: return kDialog;
    }
}

namespace {
constexpr int kCaptionRow = kScreenRows - 2;
constexpr int kHintRow = kScreenRows - 1;
constexpr Attr kHintAttr = 0x30;
constexpr Attr kCaptionAttr = 0x1E;
constexpr Attr kShadowAttr = 0x08;
}  // namespace

WindowHandle open_window(Rect box, bool shadow, bool double_frame, std::string_view title, int set) {
    State& st = state();
    box = ScreenModel::clip(box);
    Window w;
    w.id = st.next_id++;
    w.box = box;
    w.area = box;
    if (shadow) {
        w.area.bottom = std::min(box.bottom + 1, kScreenRows - 1);
        w.area.right = std::min(box.right + 2, kScreenCols - 1);
    }
    w.under = st.screen.save(w.area);
    const ColourSet& cs = colour_set(set);
    st.screen.fill(box, ' ', cs.normal);
    st.screen.frame(box, double_frame, cs.frame);
    if (!title.empty() && box.right - box.left > 4) {
        std::string t = " " + P(title) + " ";
        int room = box.right - box.left - 1;
        if (static_cast<int>(t.size()) > room) t.resize(static_cast<std::size_t>(room));
        put_centred(box.top, box.left + 1, box.right - 1, t, cs.title);
    }
    if (shadow) {
        // Shadow: the characters stay, dimmed.
        for (int r = box.top + 1; r <= w.area.bottom; ++r)
            for (int c = box.right + 1; c <= w.area.right; ++c)
                if (r > box.bottom || c > box.right) {
                    Cell cell = st.screen.cell(r, c);
                    cell.attr = kShadowAttr;
                    st.screen.set_cell(r, c, cell);
                }
        for (int c = box.left + 2; c <= w.area.right && w.area.bottom > box.bottom; ++c) {
            Cell cell = st.screen.cell(w.area.bottom, c);
            cell.attr = kShadowAttr;
            st.screen.set_cell(w.area.bottom, c, cell);
        }
    }
    st.windows.push_back(std::move(w));
    return st.windows.back().id;
}

bool window_open(WindowHandle id) {
    const auto& ws = state().windows;
    return std::any_of(ws.begin(), ws.end(), [&](const Window& w) { return w.id == id; });
}

Rect window_box(WindowHandle id) {
    for (const auto& w : state().windows)
        if (w.id == id) return w.box;
    return {};
}

std::string text_of(const Value& v) {
    if (v.is_text()) return P(v.text());
    if (v.is_number()) return number_text(v.number());
    return {};
}

std::vector<std::string> lines_of(const Value& v) {
    std::vector<std::string> out;
    if (v.is_array()) {
        for (const auto& e : v.array()) out.push_back(text_of(e));
    } else if (!v.is_nil()) {
        // A text may hold several lines separated by line breaks.
        std::string t = text_of(v), cur;
        for (char c : t) {
            if (c == '\n') {
                out.push_back(cur);
                cur.clear();
            } else if (c != '\r') {
                cur.push_back(c);
            }
        }
        out.push_back(cur);
    }
    return out;
}

int widest(const std::vector<std::string>& lines) {
    int w = 0;
    for (const auto& l : lines) w = std::max(w, static_cast<int>(l.size()));
    return w;
}

Rect place_box(int inner_rows, int inner_cols, int top, int left) {
    int h = std::min(inner_rows + 2, kScreenRows - 2);
    int w = std::min(inner_cols + 2, kScreenCols);
    if (top < 0) top = std::max(0, (kScreenRows - 2 - h) / 2);
    if (left < 0) left = (kScreenCols - w) / 2;
    if (top + h > kScreenRows - 2) top = std::max(0, kScreenRows - 2 - h);
    if (left + w > kScreenCols) left = kScreenCols - w;
    return {top, left, top + h - 1, left + w - 1};
}

void put_centred(int r, int left, int right, std::string_view text, Attr attr) {
    int room = right - left + 1;
    std::string_view t = text.substr(0, static_cast<std::size_t>(std::max(room, 0)));
    int c = left + (room - static_cast<int>(t.size())) / 2;
    state().screen.put(r, c, t, attr);
}

void draw_hint_line() {
    State& st = state();
    if (st.hints.empty()) return;
    st.screen.fill({kHintRow, 0, kHintRow, kScreenCols - 1}, ' ', kHintAttr);
    st.screen.put(kHintRow, 1, std::string_view(st.hints.back()).substr(0, kScreenCols - 2), kHintAttr);
}

void push_hint(std::string_view text) {
    State& st = state();
    // The row as it was before the first hint comes back when the last hint goes.
    if (st.hints.empty()) st.hint_under = st.screen.save({kHintRow, 0, kHintRow, kScreenCols - 1});
    st.hints.push_back(P(text));
    draw_hint_line();
}

void pop_hint() {
    State& st = state();
    if (st.hints.empty()) return;
    st.hints.pop_back();
    if (st.hints.empty()) st.screen.restore(st.hint_under);
    else draw_hint_line();
}

int wait_key() {
    State& st = state();
    int k;
    if (!st.typeahead.empty()) {
        k = st.typeahead.front();
        st.typeahead.pop_front();
        if (k == key::kNone) return key::kNone;   // a placeholder put there to end a menu
    } else {
        k = console().read_key(st.screen);
    }
    st.last_key = k;
    auto it = st.key_actions.find(k);
    if (it != st.key_actions.end() && it->second && !st.in_action) {
        KeyAction action = it->second;   // the action may reassign its own key
        st.in_action = true;
        action();
        st.in_action = false;
        return key::kNone;
    }
    return k;
}

}  // namespace kit_detail

using namespace kit_detail;

WindowHandle ROZWIN(int mode, int top, int left, int bottom, int right, const Value& title, int colour_set) {
    State& st = state();
    int set = colour_set ? colour_set : st.current_set;
    bool background = mode > 0;
    std::string t = text_of(title);
    WindowHandle h = open_window({top, left, bottom, right}, !background, background, t, set);
    if (background && !st.title_set && !t.empty()) {
        st.title_set = true;
        console().set_title(oem_to_utf8(t, polish_standard()));
    }
    return h;
}

void ZWIN(WindowHandle handle) {
    State& st = state();
    auto it = std::find_if(st.windows.begin(), st.windows.end(),
                           [&](const Window& w) { return w.id == handle; });
    if (handle == kNoWindow || it == st.windows.end()) return;
    // Each cell the window covered goes back to what was under it: on screen when no later
    // window covers the cell, otherwise into the save buffer of the lowest later window that does.
    Window closing = std::move(*it);
    std::size_t index = static_cast<std::size_t>(it - st.windows.begin());
    st.windows.erase(it);
    const Rect& a = closing.area;
    for (int r = a.top; r <= a.bottom; ++r)
        for (int c = a.left; c <= a.right; ++c) {
            Cell old = closing.under.at(r, c);
            bool covered = false;
            for (std::size_t k = index; k < st.windows.size(); ++k)
                if (st.windows[k].area.contains(r, c)) {
                    st.windows[k].under.at(r, c) = old;
                    covered = true;
                    break;
                }
            if (!covered) st.screen.set_cell(r, c, old);
        }
    if (handle == st.inner_bar) st.inner_bar = kNoWindow;
    if (handle == st.outer_bar) st.outer_bar = kNoWindow;
    console().show(st.screen);
}

int K_SET_ZESTAW(int n) {
    int prev = state().current_set;
    state().current_set = n;
    state().say_attr = colour_set(n).normal;
    return prev;
}

void K_NORM() { state().say_attr = colour_set(state().current_set).normal; }
void K_BOLD(int) { state().say_attr = colour_set(state().current_set).bold; }

void K_ZMIEN_PALETE() { state().suite_palette = true; }

void K_CLEAR(int mode) {
    State& st = state();
    // The suite's desktop: a light shade pattern; the rows of caption and hints stay plain.
    Attr a = st.suite_palette ? 0x17 : 0x07;
    st.screen.clear(a);
    if (mode == 1) st.screen.fill({0, 0, kCaptionRow - 1, kScreenCols - 1}, 0xB0, a);
    st.screen.fill({kCaptionRow, 0, kCaptionRow, kScreenCols - 1}, ' ', kCaptionAttr);
    if (!st.caption.empty()) put_centred(kCaptionRow, 0, kScreenCols - 1, st.caption, kCaptionAttr);
    st.screen.fill({kHintRow, 0, kHintRow, kScreenCols - 1}, ' ', kHintAttr);
    if (!st.hints.empty()) {
        st.hint_under = st.screen.save({kHintRow, 0, kHintRow, kScreenCols - 1});
        draw_hint_line();
    }
    console().show(st.screen);
}

std::string KODY_RAMEK(std::string_view what) {
    if (what == "*") return "\xFE";   // ■, the same byte in every supported code page
    return " ";
}

void STARY_GEN() {
    State& st = state();
    st.suite_palette = false;
    st.windows.clear();
    st.hints.clear();
    st.caption.clear();
    st.current_set = 38;
    st.say_attr = 0x07;
    st.screen.clear(0x07);
    st.screen.cursor_visible = true;
    console().show(st.screen);
}

int K_SPEC_MEN(int, int colour_set) { return colour_set; }

void STATLINE(const Value& text) {
    if (text.is_number()) {
        pop_hint();
    } else {
        push_hint(text.is_text() ? text.text() : std::string());
    }
    console().show(state().screen);
}

void DAJ_WZORZEC(const Value&, const Value& text) {
    State& st = state();
    st.caption = text_of(text);
    st.screen.fill({kCaptionRow, 0, kCaptionRow, kScreenCols - 1}, ' ', kCaptionAttr);
    if (!st.caption.empty()) put_centred(kCaptionRow, 0, kScreenCols - 1, st.caption, kCaptionAttr);
    console().show(st.screen);
}

int INKEY(double seconds) {
    State& st = state();
    if (seconds <= 0) {
        int k;
        do k = wait_key();
        while (k == key::kNone);
        return k;
    }
    if (!st.typeahead.empty()) return wait_key();
    console().show(st.screen);
    int k = console().poll_key(static_cast<int>(seconds * 1000 + 0.5));
    if (k != key::kNone) st.last_key = k;
    return k;
}

int LASTKEY() { return state().last_key; }

void KEYBOARD(std::string_view keys) {
    for (char c : keys) state().typeahead.push_back(static_cast<unsigned char>(c));
}

void CLEAR_KEYBOARD() { state().typeahead.clear(); }

bool K_CLOSE(int k) { return k == key::kCtrlW || k == key::kCtrlEnter; }

KeyAction SETKEY(int k, KeyAction action) {
    auto& m = state().key_actions;
    KeyAction prev = m.count(k) ? m[k] : KeyAction();
    if (action) m[k] = std::move(action);
    else m.erase(k);
    return prev;
}

void register_key_handler(std::string_view name, std::function<int()> handler) {
    state().handlers[lower(name)] = std::move(handler);
}

void say(int row, int col, std::string_view bytes) {
    State& st = state();
    st.screen.put(row, col, bytes, st.say_attr);
    st.screen.cursor_row = row;
    st.screen.cursor_col = std::min(col + static_cast<int>(bytes.size()), kScreenCols - 1);
}

void set_pos(int row, int col) {
    state().screen.cursor_row = std::clamp(row, 0, kScreenRows - 1);
    state().screen.cursor_col = std::clamp(col, 0, kScreenCols - 1);
}

void set_cursor(bool visible) { state().screen.cursor_visible = visible; }

void clear_screen() {
    State& st = state();
    st.screen.clear(0x07);
    st.screen.cursor_row = st.screen.cursor_col = 0;
}

void reset_colours() { state().say_attr = 0x07; }

const ScreenModel& screen() { return state().screen; }

std::string screen_row(int row) { return state().screen.row_utf8(row, polish_standard()); }

void screen_refresh() { console().show(state().screen); }

void reset_screen_kit() {
    State& st = state();
    auto handlers = std::move(st.handlers);
    st = State();
    st.handlers = std::move(handlers);
}

}  // namespace qaro
