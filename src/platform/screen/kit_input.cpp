// Input fields: READMODAL and its field editor.
#include <algorithm>

#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

InputField::InputField(int row, int col, std::string& variable, int width)
    : row_(row), col_(col), width_(width > 0 ? width : std::max<int>(1, static_cast<int>(variable.size()))),
      variable_(&variable) {
    buffer_ = pad_right(variable, static_cast<std::size_t>(width_));
    seen_ = variable;
}

void InputField::set_text(std::string_view text) {
    buffer_ = pad_right(text, static_cast<std::size_t>(width_));
    pos_ = std::min(pos_, width_ - 1);
}

struct InputEditor {
    GetList& fields;
    bool insert = false;

    // Reads the variable again when something (a key action) assigned it since the last read.
    static void sync_from_variable(InputField& f) {
        if (*f.variable_ != f.seen_) {
            f.seen_ = *f.variable_;
            f.set_text(f.seen_);
        }
    }
    static void store(InputField& f) {
        *f.variable_ = f.buffer_;
        f.seen_ = f.buffer_;
    }

    void draw(int active) {
        State& st = state();
        const ColourSet& cs = colour_set(st.current_set);
        for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
            const InputField& f = fields[static_cast<std::size_t>(i)];
            st.screen.put(f.row_, f.col_, f.buffer_, i == active ? cs.selected : cs.option);
        }
        const InputField& f = fields[static_cast<std::size_t>(active)];
        st.screen.cursor_row = f.row_;
        st.screen.cursor_col = std::min(f.col_ + std::min(f.pos_, f.width_ - 1), kScreenCols - 1);
        st.screen.cursor_visible = true;
    }

    // Applies an editing key to the field; false when the key is not an editing key.
    bool edit(InputField& f, int k) {
        std::string& b = f.buffer_;
        const int w = f.width_;
        switch (k) {
            case key::kLeft: if (f.pos_ > 0) --f.pos_; return true;
            case key::kRight: if (f.pos_ < w - 1) ++f.pos_; return true;
            case key::kHome: f.pos_ = 0; return true;
            case key::kEnd: {
                int last = static_cast<int>(rtrim(b).size());
                f.pos_ = std::min(last, w - 1);
                return true;
            }
            case key::kIns: insert = !insert; return true;
            case key::kDel:
                if (f.pos_ < w) { b.erase(static_cast<std::size_t>(f.pos_), 1); b.push_back(' '); }
                return true;
            case key::kBackspace:
                if (f.pos_ > 0) {
                    --f.pos_;
                    b.erase(static_cast<std::size_t>(f.pos_), 1);
                    b.push_back(' ');
                }
                return true;
            case key::kCtrlY: b.assign(static_cast<std::size_t>(w), ' '); f.pos_ = 0; return true;
            default: break;
        }
        if (k >= 32 && k <= 255 && k != 127) {
            // Typing past the end of the field does not leave it: the key is dropped.
            if (f.pos_ >= w) return true;
            if (insert) {
                if (b.back() != ' ') return true;   // a full field takes no insertion
                b.insert(static_cast<std::size_t>(f.pos_), 1, static_cast<char>(k));
                b.pop_back();
            } else {
                b[static_cast<std::size_t>(f.pos_)] = static_cast<char>(k);
            }
            ++f.pos_;
            return true;
        }
        return false;
    }

    bool run() {
        State& st = state();
        int active = 0;
        const int last = static_cast<int>(fields.size()) - 1;
        for (auto& f : fields) {
            sync_from_variable(f);
            f.pos_ = 0;
        }
        for (;;) {
            InputField& f = fields[static_cast<std::size_t>(active)];
            st.active_field = &f;
            draw(active);
            int k = wait_key();
            if (st.read_killed) return false;
            if (k == key::kNone) {
                sync_from_variable(f);
                continue;
            }
            if (k == key::kEsc) return false;
            if (k == key::kCtrlW || k == key::kCtrlEnter) {
                store(f);
                return true;
            }
            if (k == key::kEnter || k == key::kDown || k == key::kTab || k == key::kUp) {
                store(f);
                if (k == key::kUp) {
                    if (active > 0) --active;
                } else if (active < last) {
                    ++active;
                } else if (k == key::kEnter) {
                    return true;
                }
                fields[static_cast<std::size_t>(active)].pos_ = 0;
                continue;
            }
            edit(f, k);
        }
    }
};

bool READMODAL(GetList& fields) {
    State& st = state();
    if (fields.empty()) return false;
    InputField* outer = st.active_field;
    bool was_visible = st.screen.cursor_visible;
    st.read_killed = false;
    InputEditor editor{fields};
    bool confirmed = editor.run();
    st.read_killed = false;
    st.active_field = outer;
    st.screen.cursor_visible = was_visible;
    // Fields stay on screen in the normal colour.
    const ColourSet& cs = colour_set(st.current_set);
    for (const auto& f : fields) st.screen.put(f.row(), f.col(), f.text(), cs.option);
    return confirmed;
}

InputField* GETACTIVE() { return state().active_field; }

void READKILL(bool kill) { state().read_killed = kill; }

}  // namespace qaro
