// Search of the drives for an installed system (the F2 action of the directory entry), and the
// drive and directory tests used around the installation: first available drive, directory
// present, set of files present.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

// The result SCAN_DRIVE passes up when the user pressed Esc; never returned by SZUKAJ_FIRMY.
inline constexpr std::string_view kSearchInterrupted = "koniec";

// The F2 action of the directory entry: searches from the active input field's text (co = 1).
// Returns the directory found, else the field's previous text, padded with blanks to the
// field's length; the active field is made to show the result. F2 is switched off meanwhile.
std::string GET_SZUK_FIR(int co);

// Asks for a drive (or all drives, or the typed directory) and searches it for an installed
// system. Returns the directory found, ending with a backslash, or "".
std::string SZUKAJ_FIRMY(const Value& sciezka);

// Searches `path` and its subdirectories (depth up to 10, paths up to 64 characters) for a
// directory holding all of `file`, asking the user whether to go on at each one found.
// Returns the directory taken, "" or kSearchInterrupted. The top-level call (no depth) opens
// the search window and reports an interruption.
std::string SCAN_DRIVE(std::string_view path, const std::vector<std::string>& file,
                       std::optional<int> zaglebienie = std::nullopt);

// The first available drive from C to Z as "X:\", "" when there is none.
std::string FIRST_DRIVE();
// Drive letter symbol[0] is available.
bool IS_DRIVE(std::string_view symbol);
// `path` is an existing directory with a non-empty listing ("." and ".." count, so only a
// missing directory or an empty drive root fails).
bool N_ISDIR(std::string_view path);
// Every name of `file` exists in directory `path`.
bool IF_FILES(std::string_view path, const std::vector<std::string>& file);

// The files that mark a directory as holding an installed system.
std::vector<std::string> system_marker_files();

}  // namespace qaro
