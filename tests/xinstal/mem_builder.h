// Builds legacy variable-file bytes record by record for the tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qaro::test {

// A raw record: name field (up to 10 bytes, zero-filled), type byte, length bytes 16/17, value.
inline std::string mem_record(std::string_view name, unsigned char type_byte, unsigned length,
                              std::string_view value) {
    std::string r(32, '\0');
    r.replace(0, name.size() > 10 ? 10 : name.size(), name.substr(0, 10));
    r[11] = static_cast<char>(type_byte);
    r[16] = static_cast<char>(length & 0xFF);
    r[17] = static_cast<char>((length >> 8) & 0xFF);
    return r + std::string(value);
}

inline std::string double_bytes(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return s;
}

inline std::string mem_text(std::string_view name, std::string_view text) {
    return mem_record(name, 0xC3, static_cast<unsigned>(text.size() + 1), std::string(text) + '\0');
}
inline std::string mem_number(std::string_view name, double n) { return mem_record(name, 0xCE, 10, double_bytes(n)); }
inline std::string mem_date(std::string_view name, double jdn) { return mem_record(name, 0xC4, 1, double_bytes(jdn)); }
inline std::string mem_logical(std::string_view name, unsigned char b) {
    return mem_record(name, 0xCC, 1, std::string(1, static_cast<char>(b)));
}

// Records followed by the end-of-file byte.
inline std::string mem_file(std::string_view records) { return std::string(records) + '\x1A'; }

}  // namespace qaro::test
