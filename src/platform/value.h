// Values of the suite's variables and table fields, with xBase semantics.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qaro {

// A calendar date held as its Julian Day Number; day 0 is the empty date.
// Only days from 0001-01-01 to 9999-12-31 are valid; anything else reads as empty.
class Date {
public:
    constexpr Date() = default;
    static Date from_jdn(long jdn);                 // outside the valid range: empty
    static Date from_ymd(int year, int month, int day);  // invalid: empty
    static Date from_dtos(std::string_view yyyymmdd);    // "YYYYMMDD"; blanks or invalid: empty

    bool empty() const { return jdn_ == 0; }
    long jdn() const { return jdn_; }
    void ymd(int& year, int& month, int& day) const;   // empty date gives 0,0,0
    std::string dtos() const;                          // "YYYYMMDD", empty: 8 blanks
    std::string dtoc() const;                          // "dd.mm.yy", empty: "  .  .  "

    Date operator+(long days) const { return empty() ? Date() : from_jdn(jdn_ + days); }
    long operator-(Date other) const { return jdn_ - other.jdn_; }
    auto operator<=>(const Date&) const = default;

    static constexpr long kMinJdn = 1721426;   // 0001-01-01
    static constexpr long kMaxJdn = 5373484;   // 9999-12-31

private:
    long jdn_ = 0;
};

enum class ValueType : std::uint8_t { Nil, Text, Number, Date, Logical, Array };

// Type letter as xBase's VALTYPE gives it: U C N D L A.
char type_letter(ValueType t);

class Value;
using Array = std::vector<Value>;

// NIL, text (bytes, not UTF-8), number, date, logical or array.
// Arrays have value semantics (copy on write).
class Value {
public:
    Value() = default;
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(double n) : v_(n) {}
    Value(int n) : v_(static_cast<double>(n)) {}
    Value(long n) : v_(static_cast<double>(n)) {}
    Value(Date d) : v_(d) {}
    Value(bool b) : v_(b) {}
    Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}

    ValueType type() const { return static_cast<ValueType>(v_.index()); }
    bool is_nil() const { return type() == ValueType::Nil; }
    bool is_text() const { return type() == ValueType::Text; }
    bool is_number() const { return type() == ValueType::Number; }
    bool is_date() const { return type() == ValueType::Date; }
    bool is_logical() const { return type() == ValueType::Logical; }
    bool is_array() const { return type() == ValueType::Array; }

    // Accessors return a neutral value ("" / 0 / empty date / false / empty array) for another type.
    const std::string& text() const;
    double number() const;
    Date date() const;
    bool logical() const;
    const Array& array() const;
    Array& array_mut();   // unshares first

    // xBase EMPTY(): NIL, blank text, 0, empty date, false, empty array.
    bool is_empty() const;

    // Equality of type and content; texts compare byte for byte, arrays element-wise.
    friend bool operator==(const Value& a, const Value& b);

private:
    std::variant<std::monostate, std::string, double, Date, bool, std::shared_ptr<Array>> v_;
};

// xBase text helpers (byte-wise, blanks only).
std::string rtrim(std::string_view s);
std::string ltrim(std::string_view s);
std::string alltrim(std::string_view s);
std::string upper(std::string_view s);   // ASCII letters only
std::string lower(std::string_view s);
std::string pad_right(std::string_view s, std::size_t width);   // cut or blank-filled
bool equal_nocase(std::string_view a, std::string_view b);
// Texts equal when trailing blanks are ignored.
bool equal_trimmed(std::string_view a, std::string_view b);

// xBase STR(n, width, decimals): right-aligned, rounded, asterisks when it does not fit.
std::string str_number(double n, int width, int decimals);
// Shortest decimal text of a number without padding ("42", "3.14159", "-0.5").
std::string number_text(double n);

}  // namespace qaro
