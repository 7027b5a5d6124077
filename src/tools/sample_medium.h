// A sample installation CD made from content generated on the spot: the maker's way to try the
// installer without a real release, and the medium of the demo and the scenario tests.
#pragma once

#include <string>
#include <string_view>

namespace qaro {

// Builds the CD directory `out` (created when missing): dysk_1 ("CD"), QAROVOR.DAT, licencja.txt,
// readme, fonty\*.ttf, setup\fontinst.exe and its manifest. The package holds, under _VOR_BAZ\,
// ZIP archives for Master and every module (programs and tables, place.dbn and place.dbp among
// them), the unpacking batches, winrar.exe, default.sfx, licence and condition texts and the
// modules' configuration variable files. False with a reason on failure.
bool build_sample_medium(std::string_view out, std::string* error);

}  // namespace qaro
