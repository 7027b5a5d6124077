// Layout of the package file QAROVOR.DAT.
//
//   header, 32 bytes: magic "Nexo-Vor", total length (4), checksum (4), 16 reserved bytes
//   member table: 128-byte entries from offset 32, the last one carrying the last-entry marker
//   data area: right after the last entry; each member's bytes at data start + its position
//
// Member entry: tag "FILE0001" (8), reserved (8), path (64, zero-filled), attribute letters
// (8, zero-filled), date YYYYMMDD (8), time HHMMSS (6), length (4), position (4), marker (4),
// reserved (14). Four-byte numbers are little-endian; the last-entry marker is N2BIN("FFFFFFFE").
// The checksum is the CRC-32 of the whole file with its own four bytes counted as zero.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qaro::package {

constexpr std::string_view kMagic = "Nexo-Vor";
constexpr std::string_view kEntryTag = "FILE0001";
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kPathWidth = 64;
constexpr std::size_t kAttribWidth = 8;
constexpr std::size_t kCopyBlock = 16384;   // members are copied in blocks of this size

struct Member {
    std::string path;     // "_VOR_BAZ\MASTER.0", zero bytes removed
    std::string attrib;   // "RHS" letters, zero bytes removed
    std::string date;     // "YYYYMMDD"
    std::string time;     // "HHMMSS"
    std::uint32_t length = 0;
    std::uint32_t position = 0;
};

std::string encode_header(std::uint32_t total_length, std::uint32_t checksum);
std::string encode_entry(const Member& m, bool last);

struct EntryView {
    bool tag_ok = false;
    bool last = false;
    Member member;
};
// Reads one 128-byte entry (the bytes must be exactly 128 long).
EntryView parse_entry(std::string_view bytes);

// A member to pack: its entry (length and position are filled in) and its host-independent
// source path on the emulated file system.
struct PackItem {
    Member member;
    std::string source;
};

// Writes a complete package to `out_path` (temporary file, then rename). Progress is reported
// as (bytes done, bytes total). False with a reason on failure; nothing is left behind then.
bool write_package(std::string_view out_path, std::vector<PackItem> items, std::string* error,
                   const std::function<void(std::uint64_t, std::uint64_t)>& progress = {});

// Collects every file below `dir` as pack items: relative path with backslashes, file name
// upper-cased, attributes R/H/S, date and time from the file. Sorted by path.
bool collect_tree(std::string_view dir, std::vector<PackItem>& items, std::string* error);

struct Listing {
    std::uint32_t stored_length = 0;
    std::uint32_t stored_checksum = 0;
    std::uint64_t data_offset = 0;
    std::vector<Member> members;
};
// Reads the header and the member table. False with a reason when they are damaged.
bool read_listing(std::string_view path, Listing& out, std::string* error);
// Verifies magic, stored length and checksum. False with a reason when the package is damaged.
bool verify(std::string_view path, std::string* error);

}  // namespace qaro::package
