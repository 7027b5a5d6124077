// The header cipher of module configuration files (pikheader) and enciphered table fields.
// Each byte is XORed with a position-dependent key byte from 0x21..0x3F: the cipher is its
// own inverse, keeps the length (values go back into fixed-width fields), and never leaves a
// blank as a blank, so an enciphered empty field no longer reads as empty. The only byte that
// enciphers to a blank is a control byte (0x01..0x1F), which header texts do not hold.
#pragma once

#include <string>
#include <string_view>

namespace qaro {

std::string ZASZYFR(std::string_view plain);   // encipher
std::string SZYFR(std::string_view coded);     // decipher

}  // namespace qaro
