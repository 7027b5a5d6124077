// The interpreter's file commands: cd/chdir, md/mkdir, rd/rmdir, del/erase, copy, ren/rename,
// attrib, type. Each takes its arguments (quotes removed), writes its messages to `out` and
// returns the errorlevel it leaves: 0 when everything it was asked to do was done, else 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/shell_output.h"

namespace qaro::shell {

using FileCommand = int (*)(const std::vector<std::string>& args, ShellOutput& out);

// The command for a command word (any letter case), or nullptr.
FileCommand find_file_command(std::string_view word);

}  // namespace qaro::shell
