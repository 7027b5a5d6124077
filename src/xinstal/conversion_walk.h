// Converting the legacy variable files of an installed system: the main directory and its
// immediate subdirectories, during an update.
#pragma once

#include <string>
#include <string_view>

#include "platform/value.h"

namespace qaro {

// Checks that `main_dir` (text, with or without a trailing backslash) is a main directory, one
// holding PLACE.DBN, and runs KONVORM2X on it. False, after a message, when the path is missing,
// blank or not a main directory; true when the walk ran to its end. When a legacy file cannot be
// deleted it shows "Blad w kasowaniu zbioru:" with the path and throws LeaveSequence.
bool M2X_E(const Value& main_dir);

// The walk itself over `main_dir` (ending with a backslash). In every directory each .MEM file
// becomes the .XPF of the same name (upper case) unless that exists already, and is deleted when
// nothing of it can be lost; the settings files of SPEC and the .DRU files of PRINTER are
// converted in place, unless they are current already, and never deleted. Deeper directories
// are not visited.
bool KONVORM2X(const std::string& main_dir);

// True when the extension of `name` (from its last ".") is `ext` ("." included), letter case
// ignored.
bool has_extension(std::string_view name, std::string_view ext);

// The current-format name of a legacy file: the file name without its last four characters,
// upper-cased, followed by ".XPF", in the directory `dir` (ending with a backslash).
std::string xpf_target_name(const std::string& dir, std::string_view mem_name);

}  // namespace qaro
