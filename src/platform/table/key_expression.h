// Index key expressions given as text: field names joined with '+', optionally inside UPPER(),
// DTOS(), STR(x[,w[,d]]), LEFT(x,n), SUBSTR(x,s[,n]), RTRIM()/TRIM(); "ALIAS->FIELD" names a
// field of the table itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/table/dbf_table.h"
#include "platform/value.h"

namespace qaro {

using KeyFunction = std::function<Value(DbfTable&)>;

struct CompiledKey {
    KeyFunction fn;        // empty when the text could not be compiled
    int number_width = 15; // how a numeric key is laid out
    int number_decimals = 0;
    std::string error;
};

CompiledKey compile_key(std::string_view text, const Structure& s);

// The bytes under which a key value is ordered: text as it is; a date as YYYYMMDD; a logical as
// T or F; a number right-aligned in `width` with `decimals`, leading blanks as '0' and, when
// negative, each digit d written as ',' - d so that negative numbers order before positive ones
// and among themselves.
std::string key_bytes(const Value& v, int width, int decimals);

}  // namespace qaro
