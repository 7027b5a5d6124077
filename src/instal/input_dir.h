// Entry of the system directory in an interactive run.
#pragma once

#include <string>

namespace qaro {

// Both by reference. True: `dokad` is the accepted directory (upper case, ending with a
// backslash, existing); `rob` names the scratch directory made before an update. False: the
// user gave up; `dokad` holds the field's text.
bool INPUTDIR(std::string& dokad, std::string& rob);

// The scratch directory name: seconds since midnight with two decimals, no blanks ("45296.00").
std::string scratch_dir_name();

}  // namespace qaro
