// EDYT_OPIS (scrollable text with an optional question) and READFILE.
#include <algorithm>

#include "platform/file_system.h"
#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

namespace {

constexpr const char* kViewerHint = "\x18\x19,PgUp/PgDn-Przegla`danie,Enter/Esc/Ctrl+W-Koniec";

// Text to display lines: CR LF or LF ends a line, tabs go to the next multiple of 8, the DOS
// end-of-file byte ends the text, long lines wrap at `width`.
std::vector<std::string> wrap_text(std::string_view text, std::size_t width) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        out.push_back(cur);
        cur.clear();
    };
    for (char c : text) {
        if (c == '\x1A') break;
        if (c == '\r') continue;
        if (c == '\n') { flush(); continue; }
        if (c == '\t') {
            do cur.push_back(' ');
            while (cur.size() % 8 != 0 && cur.size() < width);
        } else {
            cur.push_back(c);
        }
        if (cur.size() >= width) flush();
    }
    if (!cur.empty()) flush();
    return out;
}

}  // namespace

bool EDYT_OPIS(const Value& text, const Value& title, const Value&, bool, bool, bool, int width,
               const Value& question, const Value& lines) {
    State& st = state();
    width = std::clamp(width, 20, kScreenCols);
    int left = (kScreenCols - width) / 2;
    Rect box{0, left, kScreenRows - 3, left + width - 1};
    int set = st.current_set;
    const ColourSet& cs = colour_set(set);
    WindowHandle h = open_window(box, false, true, text_of(title), set);
    int text_w = width - 4, visible = box.bottom - box.top - 1;
    std::vector<std::string> body = wrap_text(P(text.is_text() ? text.text() : std::string()),
                                              static_cast<std::size_t>(text_w));
    int count = static_cast<int>(body.size());
    int max_first = std::max(0, count - visible);
    int first = 0;
    push_hint(kViewerHint);
    for (;;) {
        for (int i = 0; i < visible; ++i) {
            int idx = first + i;
            st.screen.put(box.top + 1 + i, box.left + 2,
                          pad_right(idx < count ? body[idx] : "", static_cast<std::size_t>(text_w)), cs.normal);
        }
        // Arrows in the right frame show that more text lies above or below.
        st.screen.set_cell(box.top + 1, box.right, {static_cast<unsigned char>(first > 0 ? 0x18 : 0xBA), cs.frame});
        st.screen.set_cell(box.bottom - 1, box.right,
                           {static_cast<unsigned char>(first < max_first ? 0x19 : 0xBA), cs.frame});
        int k = wait_key();
        if (k == key::kEnter || k == key::kEsc || k == key::kCtrlW || k == key::kCtrlEnter) break;
        switch (k) {
            case key::kUp: first = std::max(0, first - 1); break;
            case key::kDown: first = std::min(max_first, first + 1); break;
            case key::kPgUp: first = std::max(0, first - visible); break;
            case key::kPgDn: first = std::min(max_first, first + visible); break;
            case key::kHome: first = 0; break;
            case key::kEnd: first = max_first; break;
            default: break;
        }
    }
    pop_hint();
    bool answer = true;
    if (question.is_text() && !question.text().empty()) answer = DECYZJA(false, question, Value(), Value(), lines);
    ZWIN(h);
    return answer;
}

bool READFILE(std::string_view name, std::string& text) {
    std::string content;
    if (!fs().is_file(name) || !fs().read_all(name, content)) return false;
    text = std::move(content);
    return true;
}

}  // namespace qaro
