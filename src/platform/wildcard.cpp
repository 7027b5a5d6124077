#include "platform/wildcard.h"

namespace qaro {

namespace {
char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Iterative '*' / '?' match with backtracking to the last star.
bool glob(std::string_view p, std::string_view n) {
    std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || fold(p[pi]) == fold(n[ni]))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}
}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
    if (glob(pattern, name)) return true;
    bool has_dot = name.find('.') != std::string_view::npos;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && !has_dot)
        return glob(pattern.substr(0, pattern.size() - 2), name);
    if (!pattern.empty() && pattern.back() == '.' && !has_dot)
        return glob(pattern.substr(0, pattern.size() - 1), name);
    return false;
}

bool has_wildcards(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

}  // namespace qaro
