// Removal of what an installation leaves in the system directory, and deletion of the files
// of a directory that match a mask.
#pragma once

#include <string_view>

#include "platform/value.h"

namespace qaro {

// Deletes the tree under the staging directory `src` (when given), the migration working
// directory `dst`MODYFIK\ and the listing, batch and unpacker files left in `dst`. `opis` (the
// installation description) is not used. Files that cannot be deleted are left silently.
// With `dst` empty (the system directory is not known) nothing is touched. Returns true.
bool POSPRZATAJ(const Value& opis, std::string_view src, std::string_view dst);

// Deletes every plain file of `katalog` (ending with a backslash) matching `szablon`;
// subdirectories are not entered, files that cannot be deleted are left silently.
void DELFILE(std::string_view katalog, std::string_view szablon);

}  // namespace qaro
