#include "platform/variable_text.h"

#include <cstdio>

namespace qaro {

std::string quote_bytes(std::string_view text) {
    std::string r = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            r += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            r += buf;
        }
    }
    return r + "\"";
}

std::string value_text(const Value& v) {
    switch (v.type()) {
        case ValueType::Nil: return "NIL";
        case ValueType::Text: return quote_bytes(v.text());
        case ValueType::Number: return number_text(v.number());
        case ValueType::Date: return v.date().empty() ? "EMPTY" : v.date().dtos();
        case ValueType::Logical: return v.logical() ? "T" : "F";
        case ValueType::Array: {
            std::string r = "{";
            bool first = true;
            for (auto& e : v.array()) {
                if (!first) r += ", ";
                first = false;
                r += value_text(e);
            }
            return r + "}";
        }
    }
    return "NIL";
}

std::string variable_line(const Variable& v) {
    return v.name + " " + type_letter(v.value.type()) + " " + value_text(v.value);
}

}  // namespace qaro
