#include "platform/screen/key_script.h"

#include <array>
#include <utility>

#include "platform/screen/key_codes.h"
#include "platform/value.h"

namespace qaro {

std::optional<int> key_by_name(std::string_view name) {
    static const std::array<std::pair<const char*, int>, 19> kNames = {{
        {"ENTER", key::kEnter}, {"ESC", key::kEsc}, {"INS", key::kIns}, {"DEL", key::kDel},
        {"CTRL-W", key::kCtrlW}, {"CTRL-Y", key::kCtrlY}, {"CTRL-ENTER", key::kCtrlEnter},
        {"UP", key::kUp}, {"DOWN", key::kDown}, {"LEFT", key::kLeft}, {"RIGHT", key::kRight},
        {"HOME", key::kHome}, {"END", key::kEnd}, {"PGUP", key::kPgUp}, {"PGDN", key::kPgDn},
        {"BACKSPACE", key::kBackspace}, {"TAB", key::kTab}, {"SPACE", ' '}, {"F10", key::f(10)},
    }};
    std::string up = upper(name);
    for (const auto& [n, k] : kNames)
        if (up == n) return k;
    if (up.size() == 2 && up[0] == 'F' && up[1] >= '1' && up[1] <= '9') return key::f(up[1] - '0');
    return std::nullopt;
}

std::optional<std::vector<ScriptItem>> parse_key_script(std::string_view script, std::string& error) {
    std::vector<ScriptItem> items;
    int line_no = 0;
    std::size_t pos = 0;
    while (pos <= script.size()) {
        std::size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view raw = script.substr(pos, end - pos);
        pos = end + 1;
        ++line_no;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        std::string line = alltrim(raw);
        while (!line.empty() && line.back() == '\t') line.pop_back();
        while (!line.empty() && line.front() == '\t') line.erase(0, 1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '!') {
            items.push_back({ScriptItem::Kind::Command, 0, line.substr(1)});
        } else if (line[0] == '"') {
            if (line.size() < 2 || line.back() != '"') {
                error = "line " + std::to_string(line_no) + ": unterminated text " + line;
                return std::nullopt;
            }
            items.push_back({ScriptItem::Kind::Text, 0, line.substr(1, line.size() - 2)});
        } else if (auto k = key_by_name(line)) {
            items.push_back({ScriptItem::Kind::Key, *k, {}});
        } else {
            error = "line " + std::to_string(line_no) + ": unknown key name '" + line + "'";
            return std::nullopt;
        }
        if (end == script.size()) break;
    }
    return items;
}

}  // namespace qaro
