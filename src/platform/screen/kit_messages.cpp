// Message windows: KOM3, KOM4, KOM5.
#include <algorithm>

#include "platform/screen/console.h"
#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

namespace {

constexpr const char* kAnyKeyHint = "Dowolny klawisz - dalej";

int as_int(const Value& v, int fallback) { return v.is_number() ? static_cast<int>(v.number()) : fallback; }

// A framed box of centred lines; row/col < 0 centre it.
WindowHandle message_box(const std::vector<std::string>& lines, int row, int col, std::string_view title,
                         int set) {
    int width = std::max(widest(lines), static_cast<int>(P(title).size()) + 2);
    width = std::min(width + 4, kScreenCols - 2);
    Rect box = place_box(static_cast<int>(lines.size()), width, row, col);
    WindowHandle h = open_window(box, true, false, title, set);
    Attr a = colour_set(set).normal;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int r = box.top + 1 + static_cast<int>(i);
        if (r >= box.bottom) break;
        put_centred(r, box.left + 1, box.right - 1, lines[i], a);
    }
    return h;
}

int wait_any_key() {
    push_hint(kAnyKeyHint);
    int k;
    do k = wait_key();
    while (k == key::kNone);
    pop_hint();
    return k;
}

}  // namespace

int KOM3(const Value& text, int row, int col, int kind) {
    int set = kind == 3 ? 37 : state().current_set;
    WindowHandle h = message_box(lines_of(text), row > 0 ? row - 1 : -1, col > 0 ? col : -1, "", set);
    int k = wait_any_key();
    ZWIN(h);
    return k;
}

WindowHandle KOM4(const Value& text, int row) {
    WindowHandle h = message_box(lines_of(text), row > 0 ? row - 1 : -1, -1, "", state().current_set);
    console().show(state().screen);
    return h;
}

WindowHandle KOM5(const Value& lines, const Value& row, const Value& col, const Value& title,
                  const Value& wait_seconds, const Value& colour_set, const Value& wait) {
    // 0 or NIL: centred in that direction.
    int r = as_int(row, 0), c = as_int(col, 0);
    r = r > 0 ? r : -1;
    c = c > 0 ? c : -1;
    int set = as_int(colour_set, 0);
    if (set == 0) set = state().current_set;
    WindowHandle h = message_box(lines_of(lines), r, c, text_of(title), set);
    if (wait_seconds.is_number() || (wait.is_logical() && wait.logical())) {
        wait_any_key();
        ZWIN(h);
        return kNoWindow;
    }
    console().show(state().screen);
    return h;
}

}  // namespace qaro
