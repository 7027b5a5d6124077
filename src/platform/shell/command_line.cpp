#include "platform/shell/command_line.h"

#include <cctype>

#include "platform/value.h"

namespace qaro::shell {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Reads one redirection target starting at `i` (blanks before it skipped); returns it and moves
// `i` past it.
std::string read_target(std::string_view s, std::size_t& i) {
    while (i < s.size() && is_blank(s[i])) ++i;
    std::string t;
    if (i < s.size() && s[i] == '"') {
        ++i;
        while (i < s.size() && s[i] != '"') t += s[i++];
        if (i < s.size()) ++i;
        return t;
    }
    while (i < s.size() && !is_blank(s[i]) && s[i] != '<' && s[i] != '>' && s[i] != '|') t += s[i++];
    return t;
}

}  // namespace

std::string trim_blanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

RedirectedLine split_redirections(std::string_view line) {
    RedirectedLine r;
    bool quoted = false;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '>') {
            r.append = i + 1 < line.size() && line[i + 1] == '>';
            i += r.append ? 2 : 1;
            r.output = read_target(line, i);
            continue;
        }
        if (!quoted && c == '<') {
            ++i;
            r.input = read_target(line, i);
            continue;
        }
        r.command += c;
        ++i;
    }
    r.command = trim_blanks(r.command);
    return r;
}

bool is_null_device(std::string_view name) {
    std::string n = upper(trim_blanks(name));
    if (!n.empty() && n.back() == ':') n.pop_back();
    auto slash = n.find_last_of("\\/:");
    if (slash != std::string::npos) n = n.substr(slash + 1);
    return n == "NUL";
}

std::vector<std::string> split_arguments(std::string_view text) {
    std::vector<std::string> out;
    std::string cur;
    bool in_token = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            in_token = true;
            continue;
        }
        if (!quoted && is_blank(c)) {
            if (in_token) out.push_back(cur);
            cur.clear();
            in_token = false;
            continue;
        }
        cur += c;
        in_token = true;
    }
    if (in_token) out.push_back(cur);
    return out;
}

CommandWord split_command_word(std::string_view line) {
    CommandWord cw;
    std::size_t i = 0;
    bool quoted = false;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && (is_blank(c) || c == '/')) break;
        cw.word += c;
        ++i;
    }
    cw.rest = std::string(line.substr(i));
    // "cd..", "cd\", "chdir\x", "echo.": the built-in word ends where the delimiter starts.
    static const char* const kGlued[] = {"chdir", "cd", "echo"};
    for (const char* name : kGlued) {
        std::string_view n(name);
        if (cw.word.size() > n.size() && equal_nocase(std::string_view(cw.word).substr(0, n.size()), n)) {
            char next = cw.word[n.size()];
            bool glue = next == '.' || ((next == '\\') && n != "echo");
            if (glue) {
                cw.rest = cw.word.substr(n.size()) + cw.rest;
                cw.word.resize(n.size());
                break;
            }
        }
    }
    return cw;
}

std::string substitute_parameters(std::string_view line, const std::vector<std::string>& params) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 >= line.size()) break;   // a lone % at the end is dropped
        char n = line[i + 1];
        if (n == '%') {
            out += '%';
            ++i;
        } else if (n >= '0' && n <= '9') {
            std::size_t k = static_cast<std::size_t>(n - '0');
            if (k < params.size()) out += params[k];
            ++i;
        } else {
            auto close = line.find('%', i + 1);
            if (close != std::string_view::npos) i = close;   // %NAME%: no environment, empty
            // else: a lone % is dropped
        }
    }
    return out;
}

SplitName split_name(std::string_view path) {
    auto i = path.find_last_of("\\/");
    if (i == std::string_view::npos) {
        if (path.size() >= 2 && path[1] == ':') return {std::string(path.substr(0, 2)), std::string(path.substr(2))};
        return {"", std::string(path)};
    }
    return {std::string(path.substr(0, i + 1)), std::string(path.substr(i + 1))};
}

namespace {

std::string apply_part(std::string_view pattern, std::string_view part) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char p = pattern[i];
        if (p == '*') {
            if (i < part.size()) out += part.substr(i);
            break;
        }
        if (p == '?') {
            if (i < part.size()) out += part[i];
            continue;
        }
        out += p;
    }
    return out;
}

void split_ext(std::string_view s, std::string_view& base, std::string_view& ext, bool& has_dot) {
    auto dot = s.rfind('.');
    has_dot = dot != std::string_view::npos;
    base = has_dot ? s.substr(0, dot) : s;
    ext = has_dot ? s.substr(dot + 1) : std::string_view();
}

}  // namespace

std::string apply_name_pattern(std::string_view pattern, std::string_view name) {
    if (pattern == "*") return std::string(name);   // "*" stands for the whole name
    std::string_view pb, pe, nb, ne;
    bool pdot, ndot;
    split_ext(pattern, pb, pe, pdot);
    split_ext(name, nb, ne, ndot);
    std::string out = apply_part(pb, nb);
    if (pdot) {
        std::string ext = apply_part(pe, ne);
        if (!ext.empty()) out += "." + ext;
    }
    return out;
}

}  // namespace qaro::shell
