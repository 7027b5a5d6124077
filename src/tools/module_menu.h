// The check-list menu in which the user marks the modules to install (Master is always
// installed and is not in the list).
#pragma once

#include <string>
#include <vector>

#include "platform/screen/kit.h"

namespace qaro {

// Module items in menu order and their letters ("PBKOTZU").
const std::vector<std::string>& module_menu_items();
inline constexpr std::string_view kModuleLetters = "PBKOTZU";

// Runs the menu; returns the letters of the marked modules in item order, "" after Esc.
// `okno` holds the menu's window between showings (empty: the menu makes one); it is closed
// on return.
std::string WYBIERZ_MOD(WindowHandle okno = kNoWindow);

// The menu lines for the item texts `opis` and the marks `wybor`: a blank, the item text for
// display padded to 20, " │ ", the mark glyph or a blank, a blank.
std::vector<std::string> PRZYG_OPIS(const std::vector<std::string>& opis, const std::vector<bool>& wybor);

// The menu's key handler (registered as "klaw_men()"): 1 ends the menu with the current item
// (Ctrl+W, closing keys, Enter, Ins, letters other than D), 0 ends it without one (Esc),
// 2 leaves the key to the menu.
int KLAW_MEN();

}  // namespace qaro
