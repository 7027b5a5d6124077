// Text handling of one interpreter command line: redirections, the command word, arguments,
// batch parameters, and the DOS file-name helpers the commands share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qaro::shell {

// A command line with its redirections taken out ("echo a > B.TXT" -> "echo a", B.TXT).
struct RedirectedLine {
    std::string command;                  // the rest, redirections removed
    std::optional<std::string> output;    // target of "> X" or ">> X" (the last one wins)
    bool append = false;                  // ">>"
    std::optional<std::string> input;     // source of "< X" (checked, not read)
};
// Quoted text ("...") is never taken for a redirection.
RedirectedLine split_redirections(std::string_view line);

// True for NUL, NUL:, and a path whose last component is NUL (the DOS null device).
bool is_null_device(std::string_view name);

// Splits at blanks and tabs; double quotes group and are removed.
std::vector<std::string> split_arguments(std::string_view text);

// The command word and the text after it. As on DOS, "cd.." / "cd\" / "echo." need no blank
// after the command word of cd, chdir and echo.
struct CommandWord {
    std::string word;   // as typed, quotes removed
    std::string rest;   // everything after the word (leading delimiter kept for echo)
};
CommandWord split_command_word(std::string_view line);

// Replaces %0..%9 by the batch parameters, %% by %, %NAME% (no environment) by nothing, and
// drops a lone %.
std::string substitute_parameters(std::string_view line, const std::vector<std::string>& params);

// "C:\A\B.TXT" -> {"C:\A\", "B.TXT"}; "C:B" -> {"C:", "B"}; "B" -> {"", "B"}. The two parts
// joined give the path back.
struct SplitName {
    std::string dir;
    std::string name;
};
SplitName split_name(std::string_view path);

// The target name of a wildcard copy or rename ("*.BAK" applied to "A.TXT" gives "A.BAK"):
// '?' takes the source character at its place, '*' the rest of the source part, name and
// extension treated separately.
std::string apply_name_pattern(std::string_view pattern, std::string_view name);

std::string trim_blanks(std::string_view s);

}  // namespace qaro::shell
