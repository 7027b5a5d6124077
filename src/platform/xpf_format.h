// The current variable-file format (.xpf).
//
// Physical layout: the file is a whole number of 40-byte blocks. Byte 11 of every block is a
// guard byte 0x00; the other 39 bytes of each block, in order, form the logical stream. A legacy
// (.mem) reader looks for a type letter + 128 in byte 11 of a 40-byte step and skips 40 bytes
// when it finds none, so reading an .xpf file as legacy finds no variable at all, whatever the
// values hold.
//
// Logical stream (integers little-endian):
//   0  4  magic "QXPF"
//   4  1  version (1)
//   5  3  zero
//   8  4  logical length N: the number of bytes of the stream up to and including the checksum
//  12  4  number of variables
//  16 ..  variables, each: type byte, scope byte (0 private, 1 public), name length byte, name
//         bytes, value
//  N-4 4  CRC-32 (zlib) of logical bytes 0 .. N-5
//   ..    zero padding up to the end of the last block
// Values by type byte: 'U' NIL, no bytes; 'C' text: 4-byte length + bytes; 'N' number: 8-byte
// IEEE double; 'D' date: 4-byte signed Julian Day Number, 0 = empty date; 'L' logical: 1 byte
// 0/1; 'A' array: 4-byte element count, then per element its type byte and value (nested
// arrays at most 32 deep).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/variable_set.h"

namespace qaro {

std::string encode_xpf(const std::vector<Variable>& vars);
// The variables, or nullopt with a reason in `error` when the bytes are not an intact file.
std::optional<std::vector<Variable>> decode_xpf(std::string_view bytes, std::string* error = nullptr);
// True when the bytes start like a current variable file (block guard and magic).
bool looks_like_xpf(std::string_view bytes);

}  // namespace qaro
