#include "platform/screen/polish_text.h"

#include <array>

namespace qaro {
namespace {

PolishStandard g_standard = PolishStandard::Plain;

// DOS glyphs of the bytes 0..31 (0 shows as a blank).
constexpr std::array<char32_t, 32> kLowGlyphs = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};

constexpr std::array<char32_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr std::array<char32_t, 128> kCp852High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

// Polish letters: digraph letter, Mazowia byte, code page 852 byte, plain letter.
struct PolishLetter {
    char digraph;
    unsigned char mazowia;
    unsigned char latin2;
    char plain;
};
constexpr std::array<PolishLetter, 18> kLetters = {{
    {'a', 0x86, 0xA5, 'a'}, {'A', 0x8F, 0xA4, 'A'},
    {'c', 0x8D, 0x86, 'c'}, {'C', 0x95, 0x8F, 'C'},
    {'e', 0x91, 0xA9, 'e'}, {'E', 0x90, 0xA8, 'E'},
    {'l', 0x92, 0x88, 'l'}, {'L', 0x9C, 0x9D, 'L'},
    {'n', 0xA4, 0xE4, 'n'}, {'N', 0xA5, 0xE3, 'N'},
    {'o', 0xA2, 0xA2, 'o'}, {'O', 0xA3, 0xE0, 'O'},
    {'s', 0x9E, 0x98, 's'}, {'S', 0x98, 0x97, 'S'},
    {'z', 0xA6, 0xAB, 'z'}, {'Z', 0xA0, 0x8D, 'Z'},
    {'x', 0xA7, 0xBE, 'z'}, {'X', 0xA1, 0xBD, 'Z'},
}};

// Unicode of the Mazowia letters that replace code page 437 characters.
struct MazowiaGlyph {
    unsigned char byte;
    char32_t ch;
};
constexpr std::array<MazowiaGlyph, 18> kMazowia = {{
    {0x86, 0x0105}, {0x8D, 0x0107}, {0x8F, 0x0104}, {0x90, 0x0118}, {0x91, 0x0119},
    {0x92, 0x0142}, {0x95, 0x0106}, {0x98, 0x015A}, {0x9C, 0x0141}, {0x9E, 0x015B},
    {0xA0, 0x0179}, {0xA1, 0x017B}, {0xA2, 0x00F3}, {0xA3, 0x00D3}, {0xA4, 0x0144},
    {0xA5, 0x0143}, {0xA6, 0x017A}, {0xA7, 0x017C},
}};

unsigned char polish_byte(const PolishLetter& l, PolishStandard s) {
    switch (s) {
        case PolishStandard::Mazowia: return l.mazowia;
        case PolishStandard::Latin2: return l.latin2;
        case PolishStandard::Plain: break;
    }
    return static_cast<unsigned char>(l.plain);
}

}  // namespace

PolishStandard DAJ_POL(int n) {
    if (n == 1) return PolishStandard::Mazowia;
    if (n == 2) return PolishStandard::Latin2;
    return PolishStandard::Plain;
}

void PLCHANGE(PolishStandard standard) { g_standard = standard; }
PolishStandard polish_standard() { return g_standard; }

std::string P(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (i + 1 < text.size() && text[i + 1] == '`') {
            const PolishLetter* hit = nullptr;
            for (const auto& l : kLetters)
                if (l.digraph == c) hit = &l;
            if (hit) {
                out.push_back(static_cast<char>(polish_byte(*hit, g_standard)));
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

std::string UPPER(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z') {
            c = static_cast<char>(b - 'a' + 'A');
            continue;
        }
        if (b < 0x80 || g_standard == PolishStandard::Plain) continue;
        // Lower-case letters stand at even positions of the table, their capitals after them.
        for (std::size_t k = 0; k < kLetters.size(); k += 2)
            if (polish_byte(kLetters[k], g_standard) == b) {
                c = static_cast<char>(polish_byte(kLetters[k + 1], g_standard));
                break;
            }
    }
    return out;
}

char32_t oem_to_unicode(unsigned char byte, PolishStandard standard) {
    if (byte < 32) return kLowGlyphs[byte];
    if (byte == 0x7F) return 0x2302;
    if (byte < 0x80) return byte;
    if (standard == PolishStandard::Latin2) return kCp852High[byte - 0x80];
    if (standard == PolishStandard::Mazowia)
        for (const auto& g : kMazowia)
            if (g.byte == byte) return g.ch;
    return kCp437High[byte - 0x80];
}

int unicode_to_oem(char32_t ch, PolishStandard standard) {
    if (ch >= 32 && ch < 0x7F) return static_cast<int>(ch);
    if (standard == PolishStandard::Plain) {
        // No Polish letters: a Polish letter is typed as its plain letter.
        for (const auto& l : kLetters)
            if (oem_to_unicode(l.mazowia, PolishStandard::Mazowia) == ch) return static_cast<unsigned char>(l.plain);
    }
    for (int b = 1; b < 256; ++b)
        if (oem_to_unicode(static_cast<unsigned char>(b), standard) == ch) return b;
    return -1;
}

void append_utf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

std::string oem_to_utf8(std::string_view bytes, PolishStandard standard) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) append_utf8(out, oem_to_unicode(static_cast<unsigned char>(c), standard));
    return out;
}

std::string utf8_to_oem(std::string_view s, PolishStandard standard) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        char32_t ch = 0;
        int extra = 0;
        if (b < 0x80) ch = b;
        else if ((b & 0xE0) == 0xC0) { ch = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { ch = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { ch = b & 0x07; extra = 3; }
        else { out.push_back('?'); ++i; continue; }
        ++i;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) { ok = false; break; }
            ch = (ch << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        }
        int oem = ok ? unicode_to_oem(ch, standard) : -1;
        out.push_back(oem < 0 ? '?' : static_cast<char>(oem));
    }
    return out;
}

}  // namespace qaro
