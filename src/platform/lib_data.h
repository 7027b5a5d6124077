// Data helpers of the maker's library.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace qaro {

class File;

// Four-byte numbers are unsigned little-endian. BIN2N reads the first four bytes (missing ones
// count as zero); N2BIN turns a hexadecimal text into `width` bytes ("FFFFFFFE" -> FE FF FF FF).
double BIN2N(std::string_view bytes);
std::string N2BIN(std::string_view hex, int width = 4);
std::string N2BIN(std::uint32_t n, int width = 4);

Date STOD(std::string_view yyyymmdd);   // invalid or blank: the empty date
double E_INT(double x);                 // integer part, toward zero

void E_CRC_TBL();   // prepares the checksum table (zlib's is static: nothing to do)
// Checksum of the first `length` bytes of an open file; with `skip_stored` the package's own
// stored checksum bytes (offset 12..15) count as zero. nullopt when the file cannot be read.
std::optional<std::uint32_t> LICZSUME(File& f, std::uint64_t length, bool skip_stored = true);

// 1-based position of the first element equal to `v` (texts byte for byte, no prefix match),
// 0 when absent.
std::size_t ASCAN_EXACT(const Array& a, const Value& v);
std::size_t ASCAN_EXACT(const Array& a, const std::function<bool(const Value&)>& pred);

}  // namespace qaro
