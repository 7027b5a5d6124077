// Opening and closing one table by file name under an alias.
#pragma once

#include "platform/value.h"

namespace qaro {

// Opens `cFile` in a new work area (the lowest unused one, which becomes the selected area)
// under `cAlias`, shared unless `lshared` is the logical false. An empty or non-text alias is
// the file name without its directory and without its extension. True when the selected area
// is then in use; an empty file name gives false without opening anything. Reports nothing.
bool DB_OPEN(const Value& cFile, const Value& lshared = Value(), const Value& cAlias = Value());

// Closes the work area of `cAlias` (the selected one when the alias is empty or not open) and
// selects again the area that was selected before.
void DB_CLOSE(const Value& cAlias = Value());

}  // namespace qaro
