// Writing a package as a diskette set (the maker's side of the diskette installation).
#pragma once

#include <string>
#include <string_view>

namespace qaro {

// Splits `package` into `count` pieces as diskette directories `outdir`\1 ... `outdir`\count.
// Diskette n holds DYSK_n and its piece "qarovor.dat"; the first diskette's DYSK_1 holds "DD".
// The pieces joined in order give the package byte for byte. With `with_dir`, the first
// diskette also gets what the installer needs there: "$sh.exe" (the installer), "instal.bat"
// (the short restart batch when `with_dir` has none), "licencja.txt", "reklama.cfg" and
// "czytaj.txt", each when `with_dir` holds it.
bool split_package(std::string_view package, std::string_view outdir, int count, std::string_view with_dir,
                   std::string* error);

}  // namespace qaro
