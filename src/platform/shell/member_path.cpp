#include "platform/shell/member_path.h"

namespace qaro::shell {

std::optional<std::vector<std::string>> safe_member_parts(std::string_view path) {
    if (path.empty() || path[0] == '/' || path[0] == '\\') return std::nullopt;
    std::vector<std::string> parts;
    std::string cur;
    auto flush = [&]() -> bool {
        if (cur == "..") return false;
        if (!cur.empty() && cur != ".") parts.push_back(cur);
        cur.clear();
        return true;
    };
    for (char c : path) {
        auto u = static_cast<unsigned char>(c);
        if (c == ':' || u < 0x20 || u == 0x7F) return std::nullopt;
        if (c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') return std::nullopt;
        if (c == '/' || c == '\\') {
            if (!flush()) return std::nullopt;
        } else {
            cur += c;
        }
    }
    if (!flush() || parts.empty()) return std::nullopt;
    return parts;
}

}  // namespace qaro::shell
