// The run's variables live in the variable set only (the diskette hand-over saves and restores
// the whole set, the legacy conversion empties it); these helpers read and write them by name.
#pragma once

#include <string>
#include <string_view>

#include "platform/variable_set.h"

namespace qaro::run {

// Declares the run variables and public settings with their starting values.
void declare();

std::string text(std::string_view name);   // "" when not a text
bool flag(std::string_view name);          // false when not a logical
void set(std::string_view name, Value v);

// __OPIS__ positions.
std::string opis_modules();
std::string opis_mode();
void set_opis_mode(std::string_view mode);

}  // namespace qaro::run
