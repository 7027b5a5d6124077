// Field definitions of a DBF table: {name, type, width, decimals}.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

// Types: C character, N numeric, D date (8), L logical (1), M memo (10, text in the .DBT).
// A C field may be up to 65,535 wide; wider than 255 it is stored in the extended form
// (width low byte in the length byte, high byte in the decimals byte; decimals reads as 0).
struct FieldDef {
    std::string name;   // upper case, 1..10 characters
    char type = 'C';
    int width = 0;
    int decimals = 0;
    friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

using Structure = std::vector<FieldDef>;

// Checks a structure for creation and normalises it (names upper case, fixed widths of D, L and
// M). Returns "" when it is usable, otherwise what is wrong with which field.
std::string normalise_structure(Structure& s);

// 1-based position of a field by name (letter case and surrounding blanks ignored), 0 if absent.
int field_position(const Structure& s, std::string_view name);

// The structure as xBase's DBSTRUCT gives it: an array of {name, type, width, decimals}.
Value structure_to_value(const Structure& s);
// The reverse; rows that are not {C, C, N, N} arrays give an error text in `error`.
Structure structure_from_value(const Value& v, std::string& error);

}  // namespace qaro
