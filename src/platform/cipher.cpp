#include "platform/cipher.h"

namespace qaro {

namespace {
std::string apply(std::string_view s) {
    std::string r(s);
    for (std::size_t i = 0; i < r.size(); ++i) {
        auto key = static_cast<unsigned char>(0x21 + (i * 7 + 13) % 31);
        r[i] = static_cast<char>(static_cast<unsigned char>(r[i]) ^ key);
    }
    return r;
}
}  // namespace

std::string ZASZYFR(std::string_view plain) { return apply(plain); }
std::string SZYFR(std::string_view coded) { return apply(coded); }

}  // namespace qaro
