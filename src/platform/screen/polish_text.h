// Polish letters on screen: digraph text ("l`" = ł) converted to the selected OEM code page,
// and OEM bytes turned into Unicode for the terminal and the screen dumps.
#pragma once

#include <string>
#include <string_view>

namespace qaro {

// The Polish letter standards the suite knows (the public setting p_pol holds the number).
enum class PolishStandard : int { Mazowia = 1, Latin2 = 2, Plain = 4 };

// Standard number n as a standard: 1 Mazowia, 2 Latin 2, anything else no Polish letters.
PolishStandard DAJ_POL(int n);
// Selects the standard used by P, UPPER and the display from now on.
void PLCHANGE(PolishStandard standard);
PolishStandard polish_standard();

// Digraph text to display bytes of the selected standard. A backtick that does not follow one
// of the letters a c e l n o s z x (either case) stays as it is. Idempotent on converted text.
std::string P(std::string_view text);
// Upper case of ASCII letters and of the Polish letters of the selected standard.
std::string UPPER(std::string_view text);

// Unicode character shown for one OEM byte under a standard (code page 437 with the Mazowia
// letters for 1 and 4, code page 852 for 2; bytes below 32 are the DOS glyphs: 24 ↑, 25 ↓...).
char32_t oem_to_unicode(unsigned char byte, PolishStandard standard);
// OEM byte for a Unicode character, or -1 when the code page has none.
int unicode_to_oem(char32_t ch, PolishStandard standard);
std::string oem_to_utf8(std::string_view bytes, PolishStandard standard);
// UTF-8 text (as typed in a key script) to OEM bytes; unknown characters become '?'.
std::string utf8_to_oem(std::string_view utf8, PolishStandard standard);
void append_utf8(std::string& out, char32_t ch);

}  // namespace qaro
