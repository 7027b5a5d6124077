// The database migration of an update.
#pragma once

namespace qaro {

// Brings the installed system's tables and variable files to the new version. The migration
// steps are not built yet: the call returns true and changes nothing.
bool MODYFIK(bool algorytm);

}  // namespace qaro
