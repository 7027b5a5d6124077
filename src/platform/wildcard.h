// DOS-style wildcard matching used by file listings and variable masks.
#pragma once

#include <string_view>

namespace qaro {

// Matches a name against a DOS wildcard ('*' any run, '?' any one character), ASCII letters
// without regard to case. As on DOS, a pattern ending in ".*" also matches a name without a dot
// ("*.*" matches everything) and a pattern ending in "." matches only names without a dot.
bool wildcard_match(std::string_view pattern, std::string_view name);

// True when the text holds '*' or '?'.
bool has_wildcards(std::string_view s);

}  // namespace qaro
