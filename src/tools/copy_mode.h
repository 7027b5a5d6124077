// Copy mode: refreshes only the suite's executables from a package into a directory.
#pragma once

#include <string>
#include <string_view>

namespace qaro {

// Stages the copy-mode members of `src` + "QAROVOR.DAT" into `tmpkat` + "ARCH\".
bool PRZYG_EXY(std::string_view modules, std::string_view src, std::string_view tmpkat);
// Renames the staged archives for the unpacking batch and runs it in `tmpkat`. Always true
// (a failed unpacker run leaves the sequence itself).
bool ROZPARCH(std::string_view modules, std::string_view tmpkat);
// The seven steps of copy mode; true when steps 2 to 6 succeeded.
bool KOPEXEKI(std::string_view adana, std::string_view dst, std::string_view tmpkat);
// Copies every file of `tmpkat` + "EXE\" into `dst`; false only when `dst` cannot be made.
bool KOPKATEXE(std::string_view tmpkat, std::string_view dst);

}  // namespace qaro
