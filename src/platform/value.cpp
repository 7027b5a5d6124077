#include "platform/value.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qaro {

namespace {
// Fliegel-Van Flandern conversion, proleptic Gregorian calendar.
long ymd_to_jdn(long y, long m, long d) {
    long a = (14 - m) / 12;
    long yy = y + 4800 - a;
    long mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : d[m - 1];
}
}  // namespace

Date Date::from_jdn(long jdn) {
    Date d;
    if (jdn >= kMinJdn && jdn <= kMaxJdn) d.jdn_ = jdn;
    return d;
}

Date Date::from_ymd(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > days_in_month(year, month))
        return Date();
    return from_jdn(ymd_to_jdn(year, month, day));
}

Date Date::from_dtos(std::string_view s) {
    if (s.size() != 8) return Date();
    int v[8];
    for (int i = 0; i < 8; ++i) {
        if (s[i] < '0' || s[i] > '9') return Date();
        v[i] = s[i] - '0';
    }
    return from_ymd(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

void Date::ymd(int& year, int& month, int& day) const {
    if (empty()) {
        year = month = day = 0;
        return;
    }
    long a = jdn_ + 32044;
    long b = (4 * a + 3) / 146097;
    long c = a - 146097 * b / 4;
    long d = (4 * c + 3) / 1461;
    long e = c - 1461 * d / 4;
    long m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

std::string Date::dtos() const {
    if (empty()) return std::string(8, ' ');
    int y, m, d;
    ymd(y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

std::string Date::dtoc() const {
    if (empty()) return "  .  .  ";
    int y, m, d;
    ymd(y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", d, m, y % 100);
    return buf;
}

char type_letter(ValueType t) {
    switch (t) {
        case ValueType::Nil: return 'U';
        case ValueType::Text: return 'C';
        case ValueType::Number: return 'N';
        case ValueType::Date: return 'D';
        case ValueType::Logical: return 'L';
        case ValueType::Array: return 'A';
    }
    return 'U';
}

const std::string& Value::text() const {
    static const std::string none;
    auto p = std::get_if<std::string>(&v_);
    return p ? *p : none;
}

double Value::number() const {
    auto p = std::get_if<double>(&v_);
    return p ? *p : 0.0;
}

Date Value::date() const {
    auto p = std::get_if<Date>(&v_);
    return p ? *p : Date();
}

bool Value::logical() const {
    auto p = std::get_if<bool>(&v_);
    return p ? *p : false;
}

const Array& Value::array() const {
    static const Array none;
    auto p = std::get_if<std::shared_ptr<Array>>(&v_);
    return p && *p ? **p : none;
}

Array& Value::array_mut() {
    auto p = std::get_if<std::shared_ptr<Array>>(&v_);
    if (!p) {
        v_ = std::make_shared<Array>();
        p = std::get_if<std::shared_ptr<Array>>(&v_);
    } else if (p->use_count() > 1) {
        *p = std::make_shared<Array>(**p);
    }
    return **p;
}

bool Value::is_empty() const {
    switch (type()) {
        case ValueType::Nil: return true;
        case ValueType::Text: return text().find_first_not_of(" \t\r\n") == std::string::npos;
        case ValueType::Number: return number() == 0.0;
        case ValueType::Date: return date().empty();
        case ValueType::Logical: return !logical();
        case ValueType::Array: return array().empty();
    }
    return true;
}

bool operator==(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case ValueType::Nil: return true;
        case ValueType::Text: return a.text() == b.text();
        case ValueType::Number: return a.number() == b.number();
        case ValueType::Date: return a.date() == b.date();
        case ValueType::Logical: return a.logical() == b.logical();
        case ValueType::Array: return a.array() == b.array();
    }
    return false;
}

std::string rtrim(std::string_view s) {
    auto e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string ltrim(std::string_view s) {
    auto b = s.find_first_not_of(' ');
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string alltrim(std::string_view s) { return ltrim(rtrim(s)); }

std::string upper(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string lower(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string pad_right(std::string_view s, std::size_t width) {
    std::string r(s.substr(0, std::min(s.size(), width)));
    r.resize(width, ' ');
    return r;
}

bool equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

bool equal_trimmed(std::string_view a, std::string_view b) { return rtrim(a) == rtrim(b); }

std::string str_number(double n, int width, int decimals) {
    if (width <= 0) return std::string();
    if (decimals < 0) decimals = 0;
    char buf[400];
    if (!std::isfinite(n) || width > 300) return std::string(static_cast<std::size_t>(width), '*');
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, n);
    std::string s(buf);
    if (s.size() > static_cast<std::size_t>(width)) return std::string(static_cast<std::size_t>(width), '*');
    return s;
}

std::string number_text(double n) {
    if (!std::isfinite(n)) return "0";
    char buf[64];
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, n);
        if (std::strtod(buf, nullptr) == n) break;
    }
    std::string s(buf);
    // Print plain decimals instead of exponent form where the number allows it.
    if (s.find('e') != std::string::npos && std::fabs(n) < 1e15 && std::fabs(n) >= 1e-6) {
        std::snprintf(buf, sizeof buf, "%.10f", n);
        s = buf;
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    return s;
}

}  // namespace qaro
