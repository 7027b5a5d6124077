// Questions and choices: DECYZJA and ALERT.
#include <algorithm>

#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

namespace {

int as_int(const Value& v, int fallback) { return v.is_number() ? static_cast<int>(v.number()) : fallback; }

// Hints use bytes 24..27 of the OEM code page (arrows).
constexpr const char* kYesNoHint = "T/Y-Tak,N-Nie,\x1B\x1A-Wybo`r,Enter-Zatwierdzenie,Esc-Nie";
constexpr const char* kChoiceHint = "\x18\x19-Wybo`r,Home/End,Enter-Zatwierdzenie,Esc-Rezygnacja";

}  // namespace

bool DECYZJA(bool def, const Value& question, const Value& row, const Value& col, const Value& lines) {
    State& st = state();
    std::vector<std::string> text = lines_of(lines);
    std::string q = text_of(question);
    const std::string yes = "  Tak  ", no = "  Nie  ";
    int inner_w = std::max({widest(text), static_cast<int>(q.size()), 20}) + 4;
    int inner_h = static_cast<int>(text.size()) + (text.empty() ? 0 : 1) + 3;
    int r = as_int(row, 0), c = as_int(col, 0);
    int set = st.current_set;
    Rect box = place_box(inner_h, inner_w, r > 0 ? r : -1, c > 0 ? c : -1);
    WindowHandle h = open_window(box, true, false, "", set);
    const ColourSet& cs = colour_set(set);
    int y = box.top + 1;
    for (const auto& l : text) put_centred(y++, box.left + 1, box.right - 1, l, cs.normal);
    if (!text.empty()) ++y;
    put_centred(y, box.left + 1, box.right - 1, q, cs.bold);
    int buttons_row = y + 2;
    int mid = (box.left + box.right) / 2;
    int yes_col = mid - 2 - static_cast<int>(yes.size()), no_col = mid + 2;
    bool answer = def;
    push_hint(kYesNoHint);
    for (;;) {
        st.screen.put(buttons_row, yes_col, yes, answer ? cs.selected : cs.option);
        st.screen.put(buttons_row, no_col, no, answer ? cs.option : cs.selected);
        int k = wait_key();
        if (k == 'T' || k == 't' || k == 'Y' || k == 'y') { answer = true; break; }
        if (k == 'N' || k == 'n' || k == key::kEsc) { answer = false; break; }
        if (k == key::kEnter) break;
        if (k == key::kLeft || k == key::kRight) answer = !answer;
    }
    pop_hint();
    ZWIN(h);
    return answer;
}

namespace kit_detail {
bool navigate(int k, int& current, int count, int page) {
    if (count <= 0) return false;
    switch (k) {
        case key::kUp: case key::kLeft: current = current > 0 ? current - 1 : count - 1; return true;
        case key::kDown: case key::kRight: current = current + 1 < count ? current + 1 : 0; return true;
        case key::kHome: current = 0; return true;
        case key::kEnd: current = count - 1; return true;
        case key::kPgUp: current = std::max(0, current - page); return true;
        case key::kPgDn: current = std::min(count - 1, current + page); return true;
        default: return false;
    }
}
}  // namespace kit_detail

int ALERT(const Value& title, const Value& options, int def, const Value&, const Value& lines,
          const Value&, const Value&, const Value&, const Value& caption) {
    State& st = state();
    std::vector<std::string> head = lines_of(title);
    std::vector<std::string> text = lines_of(lines);
    std::vector<std::string> opts = lines_of(options.is_array() ? options : Value(Array{options}));
    int count = static_cast<int>(opts.size());
    if (count == 0) return 0;
    std::string cap = text_of(caption);
    int opt_w = widest(opts) + 2;
    int inner_w = std::max({widest(head), widest(text), opt_w, static_cast<int>(cap.size()) + 2}) + 4;
    int fixed = static_cast<int>(head.size() + text.size()) + (text.empty() ? 0 : 1) + 1;
    int visible = std::min(count, kScreenRows - 4 - fixed);
    visible = std::max(visible, 1);
    int set = st.current_set;
    Rect box = place_box(fixed + visible, inner_w, -1, -1);
    WindowHandle h = open_window(box, true, false, cap, set);
    const ColourSet& cs = colour_set(set);
    int y = box.top + 1;
    for (const auto& l : head) put_centred(y++, box.left + 1, box.right - 1, l, cs.bold);
    if (!text.empty()) ++y;
    for (const auto& l : text) put_centred(y++, box.left + 1, box.right - 1, l, cs.normal);
    ++y;
    int list_top = y;
    int left = box.left + 1 + (box.right - box.left - 1 - opt_w) / 2;
    int current = std::clamp(def, 1, count) - 1, first = 0;
    int result = 0;
    push_hint(kChoiceHint);
    for (;;) {
        if (current < first) first = current;
        if (current >= first + visible) first = current - visible + 1;
        for (int i = 0; i < visible; ++i) {
            int idx = first + i;
            std::string line = " " + pad_right(idx < count ? opts[idx] : "", opt_w - 1);
            st.screen.put(list_top + i, left, line, idx == current ? cs.selected : cs.option);
        }
        int k = wait_key();
        if (k == key::kEnter) { result = current + 1; break; }
        if (k == key::kEsc) { result = 0; break; }
        navigate(k, current, count, visible);
    }
    pop_hint();
    ZWIN(h);
    return result;
}

}  // namespace qaro
