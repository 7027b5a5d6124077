#include "platform/checksum.h"

#include <zlib.h>

#include <vector>

#include "platform/file_system.h"

namespace qaro {

std::uint32_t crc32_update(std::uint32_t crc, const void* data, std::size_t n) {
    auto p = static_cast<const Bytef*>(data);
    uLong c = crc;
    while (n > 0) {
        uInt chunk = n > (1u << 30) ? (1u << 30) : static_cast<uInt>(n);
        c = ::crc32(c, p, chunk);
        p += chunk;
        n -= chunk;
    }
    return static_cast<std::uint32_t>(c);
}

std::uint32_t crc32_of(std::string_view bytes) { return crc32_update(0, bytes.data(), bytes.size()); }

bool file_checksum(File& f, std::uint64_t length, bool skip_stored, std::uint32_t& out) {
    static constexpr std::size_t kBlock = 1 << 20;
    std::vector<unsigned char> buf(kBlock);
    std::uint32_t crc = 0;
    std::uint64_t pos = 0;
    if (!f.seek(0)) return false;
    while (pos < length) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, length - pos));
        auto got = f.read(buf.data(), want);
        if (got != static_cast<long long>(want)) return false;
        if (skip_stored) {
            for (std::uint64_t i = kStoredSumOffset; i < kStoredSumOffset + 4; ++i)
                if (i >= pos && i < pos + want) buf[i - pos] = 0;
        }
        crc = crc32_update(crc, buf.data(), want);
        pos += want;
    }
    out = crc;
    return true;
}

}  // namespace qaro
