// Conversion between field bytes in a record and Values (C, N, D, L; memo fields hold a block
// number and are handled by the table).
#pragma once

#include <string>
#include <string_view>

#include "platform/table/structure.h"
#include "platform/value.h"

namespace qaro {

// The value of a C, N, D or L field from its `f.width` bytes. C gives every byte as stored
// (padded to the width); N gives 0 for blanks or unreadable text; D gives the empty date for
// blanks or an invalid date; L is true for T, t, Y or y.
Value decode_field(const FieldDef& f, const char* bytes);

// Stores a value of the field's own type into its `f.width` bytes: a text is cut or blank-padded
// to the width, byte for byte; a number is right-aligned with the field's decimals and, when it
// does not fit, the field is filled with asterisks (and `overflow` set); a date as YYYYMMDD;
// a logical as T or F. Another type (or NIL) changes nothing and returns false.
bool encode_field(const FieldDef& f, const Value& v, char* bytes, bool* overflow = nullptr);

// xBase VAL(): leading blanks skipped, then an optional sign, digits and one decimal point;
// reading stops at the first other byte. "" and "abc" give 0.
double val(std::string_view text);

// The value that record copying by field name stores into a field of another type (used by
// WRITE_REKORD). Same type: the value itself. Number into C or M: its shortest decimal text,
// asterisks across the width when that text is wider than a C field.
// Text into N: VAL of the text. Date into C or M: YYYYMMDD. Text into D: the YYYYMMDD date in
// it (empty when it holds none). Logical into C or M: "T" or "F". Text into L: true when the
// first non-blank byte is T, t, Y or y. Other pairs (number/date/logical among themselves,
// arrays, NIL) give NIL: the field is left as it is.
Value convert_for_field(const FieldDef& f, const Value& v);

}  // namespace qaro
