#include "platform/table/field_codec.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qaro {

double val(std::string_view s) {
    // The longest prefix of the form [blanks][sign]digits[.digits], converted exactly.
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    std::string num;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) num += s[i++];
    bool any = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        num += s[i++];
        any = true;
    }
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            num += s[i++];
            any = true;
        }
    }
    if (!any) return 0;
    // Up to 15 digits: the integer of the digits divided by a power of ten is exact and correctly
    // rounded, the same result strtod gives, at a fraction of its cost.
    std::uint64_t m = 0;
    int digits = 0, decimals = -1;
    bool neg = num[0] == '-';
    for (char c : num) {
        if (c == '.') {
            decimals = 0;
        } else if (c >= '0' && c <= '9') {
            m = m * 10 + static_cast<std::uint64_t>(c - '0');
            ++digits;
            if (decimals >= 0) ++decimals;
        }
    }
    if (digits <= 15) {
        static const double kTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        double r = static_cast<double>(m) / kTen[decimals < 0 ? 0 : decimals];
        return neg ? -r : r;
    }
    return std::strtod(num.c_str(), nullptr);
}

Value decode_field(const FieldDef& f, const char* p) {
    const auto w = static_cast<std::size_t>(f.width);
    switch (f.type) {
    case 'C': return Value(std::string(p, w));
    case 'N':
    case 'F': {
        // Numbers are read back rounded to the field's decimals, as the text says.
        return Value(val(std::string_view(p, w)));
    }
    case 'D': return Value(Date::from_dtos(std::string_view(p, w < 8 ? w : 8)));
    case 'L': return Value(w > 0 && (p[0] == 'T' || p[0] == 't' || p[0] == 'Y' || p[0] == 'y'));
    default: return Value(std::string(p, w));
    }
}

bool encode_field(const FieldDef& f, const Value& v, char* p, bool* overflow) {
    const auto w = static_cast<std::size_t>(f.width);
    if (overflow) *overflow = false;
    switch (f.type) {
    case 'C': {
        if (!v.is_text()) return false;
        const std::string& t = v.text();
        std::size_t n = t.size() < w ? t.size() : w;
        std::memcpy(p, t.data(), n);
        std::memset(p + n, ' ', w - n);
        return true;
    }
    case 'N':
    case 'F': {
        if (!v.is_number()) return false;
        const double n = v.number();
        if (n == static_cast<double>(static_cast<long long>(n)) && n > -1e15 && n < 1e15) {
            // Whole numbers need no rounding: lay the digits out directly.
            char buf[48];
            char* e = buf + sizeof buf;
            char* b = e;
            for (int d = 0; d < f.decimals; ++d) *--b = '0';
            if (f.decimals > 0) *--b = '.';
            unsigned long long u = static_cast<unsigned long long>(n < 0 ? -n : n);
            do {
                *--b = static_cast<char>('0' + u % 10);
                u /= 10;
            } while (u);
            if (n < 0) *--b = '-';
            const std::size_t len = static_cast<std::size_t>(e - b);
            if (len > w) {
                std::memset(p, '*', w);
                if (overflow) *overflow = true;
            } else {
                std::memset(p, ' ', w - len);
                std::memcpy(p + (w - len), b, len);
            }
            return true;
        }
        std::string s = str_number(n, f.width, f.decimals);
        if (s.size() != w) s = std::string(w, '*');
        if (overflow) *overflow = s[0] == '*';
        std::memcpy(p, s.data(), w);
        return true;
    }
    case 'D': {
        if (!v.is_date()) return false;
        std::string s = v.date().dtos();
        std::memcpy(p, s.data(), w < 8 ? w : 8);
        return true;
    }
    case 'L':
        if (!v.is_logical()) return false;
        if (w > 0) p[0] = v.logical() ? 'T' : 'F';
        return true;
    default: return false;
    }
}

Value convert_for_field(const FieldDef& f, const Value& v) {
    const bool textual = f.type == 'C' || f.type == 'M';
    switch (v.type()) {
    case ValueType::Text:
        if (textual) return v;
        if (f.type == 'N' || f.type == 'F') return Value(val(v.text()));
        if (f.type == 'D') {
            std::string t = alltrim(v.text());
            return Value(t.size() == 8 ? Date::from_dtos(t) : Date());
        }
        if (f.type == 'L') {
            std::string t = ltrim(v.text());
            char c = t.empty() ? ' ' : t[0];
            return Value(c == 'T' || c == 't' || c == 'Y' || c == 'y');
        }
        return Value();
    case ValueType::Number:
        if (f.type == 'N' || f.type == 'F') return v;
        if (textual) {
            // Like a number that overflows a numeric field: asterisks, never a cut-off number.
            std::string t = number_text(v.number());
            if (f.type == 'C' && t.size() > static_cast<std::size_t>(f.width)) t.assign(f.width, '*');
            return Value(t);
        }
        return Value();
    case ValueType::Date:
        if (f.type == 'D') return v;
        if (textual) return Value(v.date().dtos());
        return Value();
    case ValueType::Logical:
        if (f.type == 'L') return v;
        if (textual) return Value(v.logical() ? "T" : "F");
        return Value();
    default: return Value();
    }
}

}  // namespace qaro
