// Plain-text form of variables, one per line, for the support tools:
//   NAME TYPE VALUE
// TYPE is the type letter (C N D L U A). Texts stand in double quotes with bytes outside
// printable ASCII, the quote and the backslash written as \xNN; numbers in their shortest
// decimal form; dates YYYYMMDD or EMPTY; logicals T or F; NIL as NIL; arrays as
// {v1, v2, ...} with the same value forms.
#pragma once

#include <string>

#include "platform/variable_set.h"

namespace qaro {

std::string quote_bytes(std::string_view text);
std::string value_text(const Value& v);
std::string variable_line(const Variable& v);

}  // namespace qaro
