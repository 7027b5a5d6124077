// Whether an installed system may be updated, and the installation record EXE\wersja.xpf.
#pragma once

#include <string_view>

namespace qaro {

bool SPR_CZY_MOZNA(std::string_view dokad);
// Updates the installation record; does nothing when `kat_prog` is not a settled system
// directory (empty, not absolute, or without its EXE subdirectory).
void AKTWERSJA(std::string_view kat_prog);

}  // namespace qaro
