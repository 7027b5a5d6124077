// Converting one legacy variable file (.MEM) into a current variable file (.XPF).
//
// The conversion works in the run's variable set: it empties the set before it reads a file
// and again after it has saved, so a caller that holds variables there saves them first and
// restores them afterwards.
#pragma once

#include <string>
#include <string_view>

#include "platform/value.h"

namespace qaro {

// What became of one file. The conversion walk deletes a legacy file only when nothing of it
// can be lost (Converted, NoVariables).
enum class ConversionResult {
    Converted,       // the output file holds the variables read
    NoVariables,     // the file held no variable; no output file was written
    AlreadyCurrent,  // the file is a current variable file already; left alone
    Unreadable,      // the file exists but could not be read; no output file was written
    SaveFailed,      // variables were read but the output file could not be written
    EmptyName,       // no legacy file name was given
    MissingFile,     // no file of that name
};

// The legacy file a given name stands for: a file name without "." gets ".MEM".
std::string legacy_file_name(std::string_view given);
// The default output of a legacy file: its path up to and including the last "." followed by
// "XPF" (X.MEM gives X.XPF).
std::string default_xpf_name(std::string_view mem_path);

// Reads the legacy file `file` whole, then, when it held at least one variable, writes them all
// except one named oDeskTop to `xpf_file` (replacing it atomically; the same path as `file` is
// fine). A current variable file is never read as legacy. The variable set is empty afterwards.
ConversionResult MEMTOXPF(std::string_view file, std::string_view xpf_file);

// Converts the legacy file `mem_file` (text; a file name without "." gets ".MEM"; anything else
// counts as an empty name) into `xpf_file` (text; when not given or blank, the legacy path up to
// and including its last "." followed by "XPF"). `messages` switches the message windows on; a
// value that is not logical counts as true. The variable set is emptied first.
ConversionResult KONWMAIN(const Value& mem_file, const Value& xpf_file = Value(), const Value& messages = Value());

}  // namespace qaro
