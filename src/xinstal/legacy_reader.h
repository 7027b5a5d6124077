// Reading legacy variable files (.MEM): a headerless run of variable records, each a 32-byte
// header (name, type letter + 128, length) followed by the value, then one 0x1A byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

// One variable as a legacy file holds it: the name as stored, the value after the text rules.
struct LegacyVariable {
    std::string name;
    Value value;
};

// The variables of a legacy file's bytes, in file order (duplicates kept; the later one is
// meant to win when they are assigned). Records with a type letter other than C, N, D, L and
// records with an empty name give no variable. A record whose header or value would run past
// the end of `bytes` ends the reading: the variables before it are returned, nothing beyond the
// buffer is read. Every record moves the position on by at least 32 bytes, so any input ends.
std::vector<LegacyVariable> read_legacy_variables(std::string_view bytes);

// The text of a C record after the text rules: a last byte 0x1A is dropped; every CR LF pair,
// every byte 141 + LF pair and every other byte 141 becomes CR LF (CR LF first turns into 141,
// then 141 LF into 141, then 141 into CR LF). A lone CR or a lone LF is left alone.
std::string clean_legacy_text(std::string_view text);

// The day number a D record's 8 value bytes hold (a little-endian double), or 0 when it does
// not name a day from 0001-01-01 to 9999-12-31 (a stored 0.0, the empty date, included).
long legacy_day_number(std::string_view value8);

// The date whose Julian Day Number is `day_number` (fractions dropped); outside
// 0001-01-01 .. 9999-12-31, and for a non-finite number, the empty date.
Date NUMTODATE(double day_number);

// The part of `text` before the first occurrence of `search_for` (all of `text` when it does
// not occur or `search_for` is empty), cut or filled up with blanks to `end_point` bytes.
std::string GETVARNAME(std::string_view search_for, std::string_view text, int end_point);

}  // namespace qaro
