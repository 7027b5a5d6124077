// MENU: a vertical list of items in a framed window.
#include <algorithm>
#include <cctype>

#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

namespace {

constexpr const char* kMenuHint = "\x18\x19-Poruszanie,Enter-Wybo`r,Esc-Rezygnacja";

// The next item after `from` whose first non-blank character is `ch` (letter case ignored).
int item_by_letter(const std::vector<std::string>& items, int from, int ch) {
    int n = static_cast<int>(items.size());
    for (int step = 1; step <= n; ++step) {
        int i = (from + step) % n;
        std::string t = ltrim(items[i]);
        if (!t.empty() && std::toupper(static_cast<unsigned char>(t[0])) == std::toupper(ch)) return i;
    }
    return -1;
}

}  // namespace

int MENU(const Value& items, int row, int col, int def, const MenuOptions& opt) {
    State& st = state();
    std::vector<std::string> lines = lines_of(items.is_array() ? items : Value(Array{items}));
    int count = static_cast<int>(lines.size());
    int set = opt.colour_set ? opt.colour_set : 36;
    const ColourSet& cs = colour_set(set);

    std::function<int()> handler = opt.key_handler;
    if (!handler && !opt.handler_name.empty()) {
        auto it = st.handlers.find(lower(opt.handler_name));
        if (it != st.handlers.end()) handler = it->second;
    }

    bool reuse = opt.window && *opt.window != kNoWindow && window_open(*opt.window);
    WindowHandle h;
    Rect box;
    if (reuse) {
        h = *opt.window;
        box = window_box(h);
        st.screen.fill({box.top + 1, box.left + 1, box.bottom - 1, box.right - 1}, ' ', cs.normal);
    } else {
        int width = std::max(widest(lines) + 2, static_cast<int>(P(opt.title).size()) + 4);
        int height = std::clamp(count, 1, kScreenRows - 4);
        box = place_box(height, width, row >= 0 ? row - 1 : -1, col >= 0 ? col - 1 : -1);
        h = open_window(box, true, false, opt.title, set);
    }
    int visible = std::max(1, box.bottom - box.top - 1);
    int width = box.right - box.left - 1;

    push_hint(opt.hint.empty() ? kMenuHint : opt.hint);
    int current = count ? std::clamp(def, 1, count) - 1 : 0, first = 0;
    int result = 0;
    for (;;) {
        if (current < first) first = current;
        if (current >= first + visible) first = current - visible + 1;
        for (int i = 0; i < visible; ++i) {
            int idx = first + i;
            std::string line = pad_right(idx < count ? lines[idx] : "", static_cast<std::size_t>(width));
            st.screen.put(box.top + 1 + i, box.left + 1, line,
                          idx == current && count ? cs.selected : cs.normal);
        }
        int k = wait_key();
        if (k == key::kNone) continue;
        if (count == 0) {
            if (k == key::kEsc || k == key::kEnter) break;
            continue;
        }
        if (navigate(k, current, count, visible)) continue;
        if (std::find(opt.end_keys.begin(), opt.end_keys.end(), k) != opt.end_keys.end()) {
            result = current + 1;
            break;
        }
        if (handler) {
            int action = handler();
            if (action == 0) { result = 0; break; }
            if (action == 1) { result = current + 1; break; }
        }
        if (k == key::kEnter) { result = current + 1; break; }
        if (k == key::kEsc) { result = 0; break; }
        if (k > 32 && k < 256) {
            int i = item_by_letter(lines, current, k);
            if (i >= 0) current = i;
        }
    }
    pop_hint();
    if (opt.window && !reuse) {
        *opt.window = h;   // left open for the caller, who closes it with ZWIN
    } else if (!opt.window) {
        ZWIN(h);
    }
    return result;
}

}  // namespace qaro
