// Package checksum: CRC-32 (zlib polynomial) over a whole file, with the four bytes at
// offset 12 (where the package stores its own checksum) counted as zero.
#pragma once

#include <cstdint>
#include <string_view>

namespace qaro {

class File;

std::uint32_t crc32_of(std::string_view bytes);
std::uint32_t crc32_update(std::uint32_t crc, const void* data, std::size_t n);

constexpr std::uint64_t kStoredSumOffset = 12;

// Checksum of the first `length` bytes of an open file, read from offset 0 in large blocks.
// With `skip_stored` the bytes 12..15 count as zero. nullopt-like failure: returns false.
bool file_checksum(File& f, std::uint64_t length, bool skip_stored, std::uint32_t& out);

}  // namespace qaro
