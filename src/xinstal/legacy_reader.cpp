#include "xinstal/legacy_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace qaro {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kNameSize = 10;
constexpr std::size_t kTypeOffset = 11;
constexpr std::size_t kLengthOffset = 16;
constexpr std::size_t kNumberSize = 8;
// A record of an unknown type is passed over as if it held an 8-byte value.
constexpr std::size_t kUnknownRecordSize = kHeaderSize + 8;

constexpr unsigned char kEndOfFile = 0x1A;
constexpr unsigned char kSoftReturn = 141;

double double_le(std::string_view b) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void replace_all(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += s[i++];
        }
    }
    s = std::move(out);
}

}  // namespace

std::string GETVARNAME(std::string_view search_for, std::string_view text, int end_point) {
    std::size_t cut = search_for.empty() ? std::string_view::npos : text.find(search_for);
    std::string_view part = cut == std::string_view::npos ? text : text.substr(0, cut);
    return pad_right(part, end_point > 0 ? static_cast<std::size_t>(end_point) : 0);
}

Date NUMTODATE(double day_number) {
    if (!std::isfinite(day_number)) return Date();
    double whole = std::trunc(day_number);
    if (whole < static_cast<double>(Date::kMinJdn) || whole > static_cast<double>(Date::kMaxJdn)) return Date();
    return Date::from_jdn(static_cast<long>(whole));
}

long legacy_day_number(std::string_view value8) {
    // The whole double is read: for stored days 2^21 .. 2^22-1 this equals taking value bytes 3..6
    // as a 32-bit integer B and computing B / 128 - 6291456, and unlike that shortcut it also
    // gives the right day before 1029-09-15 and after 6771-07-06 (9999-12-31 among them).
    if (value8.size() < kNumberSize) return 0;
    return NUMTODATE(double_le(value8)).jdn();
}

std::string clean_legacy_text(std::string_view text) {
    std::string s(text);
    if (!s.empty() && static_cast<unsigned char>(s.back()) == kEndOfFile) s.pop_back();
    const std::string soft(1, static_cast<char>(kSoftReturn));
    replace_all(s, "\r\n", soft);
    replace_all(s, soft + "\n", soft);
    replace_all(s, soft, "\r\n");
    return s;
}

std::vector<LegacyVariable> read_legacy_variables(std::string_view bytes) {
    std::vector<LegacyVariable> out;
    if (bytes.empty()) return out;
    // The last byte is the end-of-file mark; a record may still reach into it (a file whose mark
    // is missing keeps its last record), but never past the buffer.
    const std::size_t end = bytes.size() - 1;
    std::size_t pos = 0;
    while (pos < end) {
        const std::size_t room = bytes.size() - pos;
        if (room < kHeaderSize) break;
        std::string_view header = bytes.substr(pos, kHeaderSize);
        std::string name = rtrim(GETVARNAME(std::string_view("\0", 1), header.substr(0, kNameSize), kNameSize));
        const char letter = static_cast<char>(static_cast<unsigned char>(header[kTypeOffset]) & 0x7F);

        Value value;
        std::size_t record_size;
        switch (letter) {
            case 'L':
                record_size = kHeaderSize + 1;
                if (room < record_size) return out;
                value = Value(static_cast<unsigned char>(bytes[pos + kHeaderSize]) > 0);
                break;
            case 'N':
                record_size = kHeaderSize + kNumberSize;
                if (room < record_size) return out;
                value = Value(double_le(bytes.substr(pos + kHeaderSize, kNumberSize)));
                break;
            case 'D':
                record_size = kHeaderSize + kNumberSize;
                if (room < record_size) return out;
                value = Value(Date::from_jdn(legacy_day_number(bytes.substr(pos + kHeaderSize, kNumberSize))));
                break;
            case 'C': {
                // L counts the text and its terminating byte.
                const std::size_t length = static_cast<unsigned char>(header[kLengthOffset]) +
                                           256u * static_cast<unsigned char>(header[kLengthOffset + 1]);
                record_size = kHeaderSize + length;
                if (room < record_size) return out;
                const std::size_t text_size = length > 0 ? length - 1 : 0;
                value = Value(clean_legacy_text(bytes.substr(pos + kHeaderSize, text_size)));
                break;
            }
            default:
                record_size = kUnknownRecordSize;
                break;
        }
        if (!value.is_nil() && !name.empty()) out.push_back({std::move(name), std::move(value)});
        pos += record_size;
    }
    return out;
}

}  // namespace qaro
