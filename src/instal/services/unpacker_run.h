// Running an unpacking batch through the command interpreter, and removal of compound index
// and semaphore files from a directory tree.
#pragma once

#include <string_view>

namespace qaro {

// Runs `co` + `ext` from `skad` in the working directory `dokad` + `gdzie`. A missing batch or an
// interpreter that cannot start shows its message, cleans up (`rob`, and with `usun` the working
// directory) and throws LeaveSequence. The batch's own exit code is not examined.
void RUN_PRG(std::string_view skad, std::string_view dokad, std::string_view rob, std::string_view co,
             std::string_view gdzie, std::string_view kom, bool usun, std::string_view ext);

// Deletes every *.CDX and *.SEM file in the tree under `sciezka`; subdirectories whose names
// begin with a dot are not entered.
void WYWAL_CDX(std::string_view sciezka);

}  // namespace qaro
