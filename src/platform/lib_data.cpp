#include "platform/lib_data.h"

#include <cmath>

#include "platform/checksum.h"

namespace qaro {

double BIN2N(std::string_view bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return static_cast<double>(v);
}

std::string N2BIN(std::uint32_t n, int width) {
    std::string r;
    for (int i = 0; i < width; ++i) r += static_cast<char>(i < 4 ? (n >> (8 * i)) & 0xFF : 0);
    return r;
}

std::string N2BIN(std::string_view hex, int width) {
    std::uint32_t v = 0;
    for (char c : hex) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            break;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return N2BIN(v, width);
}

Date STOD(std::string_view yyyymmdd) { return Date::from_dtos(yyyymmdd); }

double E_INT(double x) { return std::trunc(x); }

void E_CRC_TBL() {}

std::optional<std::uint32_t> LICZSUME(File& f, std::uint64_t length, bool skip_stored) {
    std::uint32_t sum;
    if (!file_checksum(f, length, skip_stored, sum)) return std::nullopt;
    return sum;
}

std::size_t ASCAN_EXACT(const Array& a, const Value& v) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] == v) return i + 1;
    return 0;
}

std::size_t ASCAN_EXACT(const Array& a, const std::function<bool(const Value&)>& pred) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (pred(a[i])) return i + 1;
    return 0;
}

}  // namespace qaro
