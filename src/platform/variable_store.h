// Saving and restoring the run's variable set to and from current variable files (.xpf).
#pragma once

#include <string>
#include <string_view>

#include "platform/variable_set.h"

namespace qaro {

// Saves the variables of `set` whose names match `mask` (and not `except`, when given) to
// `path`, replacing the file atomically. False with fs().last_error() set on failure.
bool save_variables(std::string_view path, std::string_view mask = "*", std::string_view except = "",
                    const VariableSet& set = variables());

// Adds the file's variables to `set`, overwriting same-named ones. A missing, damaged or
// truncated file changes nothing and gives false with a reason naming the file in `error`.
bool restore_variables(std::string_view path, std::string* error = nullptr, VariableSet& set = variables());

// True when the file exists and is a current variable file (so it must never be read as legacy).
bool is_current_variable_file(std::string_view path);

}  // namespace qaro
