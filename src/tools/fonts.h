// Installation of the suite's TrueType fonts and of the font program FONTINST.EXE with its
// manifest into the system directory (the installer does not run that program).
#pragma once

#include <string_view>

namespace qaro {

// Copies every *.ttf of `kat_instal`\fonty into `kat_firmy`fonty (made when missing) and
// replaces `kat_firmy`exe\fontinst.exe and its manifest by the copies in `kat_instal`\setup.
// `kat_instal` is the installer's start directory (no trailing backslash), `kat_firmy` the
// system directory (with one). True when every file was installed; each failure shows its own
// message and stops the installation of the remaining files. Nothing is rolled back.
bool KOP_FONTY(std::string_view kat_instal, std::string_view kat_firmy);

}  // namespace qaro
