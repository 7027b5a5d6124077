// Recognition of the installation medium and joining of diskette pieces.
#pragma once

#include <string_view>

namespace qaro {

// Reads the medium marker "dysk_1" of the current directory: "CD" with QAROVOR.DAT beside it is
// a CD, "DD" with QAROVOR.DAT a diskette set (dd becomes true). Both flags start false.
bool CD_EDITION(bool& dd);

}  // namespace qaro

namespace qaro {

// Joins the diskette pieces found in `skad` (DYSK_n markers, piece "qarovor.dat") into
// `dokad` + "qarovor.dat", asking for each next diskette. True only when exactly the stored
// total was appended without a file error. The first diskette is back in the drive on return.
bool POLACZ_PLIK(std::string_view skad, std::string_view dokad);

}  // namespace qaro
