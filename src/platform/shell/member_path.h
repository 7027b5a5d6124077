// Archive member paths are outside input: only a plain relative path may be written below the
// destination directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qaro::shell {

// The components of a member path ("A/B\C.TXT" -> A, B, C.TXT; "." and empty components are
// dropped), or nothing when the path could leave the destination or name a place outside it:
// an absolute path (leading slash or backslash, which includes UNC names), a drive letter or any
// ':' at all, a ".." component, control characters or the characters * ? " < > | that no DOS
// name holds, or no component at all.
std::optional<std::vector<std::string>> safe_member_parts(std::string_view path);

}  // namespace qaro::shell
