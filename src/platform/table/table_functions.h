// The maker's library table functions, working on the selected work area.
#pragma once

#include <cstdint>

#include "platform/value.h"

namespace qaro {

// The current record as an array of {field name, value} pairs in field order; an empty array
// when no table is in use.
Value READ_REKORD();

// Stores each {name, value} pair into the same-named field of the current record; pairs whose
// field the table lacks, and malformed pairs, are skipped. A value of another type is converted
// first (convert_for_field): a number into a character field is its shortest text (asterisks
// across the width when wider), a text into a numeric field is VAL() of it, a date into a
// character field is YYYYMMDD; pairs without a sensible conversion leave the field as it is.
// A text longer than a character field is cut to the width; a number that does not fit a
// numeric field is stored as asterisks, as xBase does. Returns the number of fields stored.
int WRITE_REKORD(const Value& pairs);

// Sets whether opening a table also opens its compound index; returns the previous setting.
// This engine never opens compound indexes, whatever the setting.
bool CMXAUTOOPEN(bool on);

// Keys of the active order of the selected area, records marked deleted not counted when they
// are hidden; without an index, the records. 0 when no table is in use.
std::uint32_t CMXKEYCOUNT();

// Appends a blank record to the selected area; true when it was appended.
bool APPE_BLAN();

// True when a work area is open under `alias` (letter case and surrounding blanks ignored).
bool TEST_ALIAS(const Value& alias);

}  // namespace qaro
