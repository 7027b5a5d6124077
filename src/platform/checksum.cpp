#include "platform/checksum.h"

#include <zlib.h>

#include <algorithm>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QARO_CRC_CLMUL 1
#endif

#include "platform/file_system.h"

namespace qaro {

namespace {

#ifdef QARO_CRC_CLMUL
// CRC-32 (the zlib polynomial, bit-reflected) by carry-less multiplication: four 128-bit lanes
// folded 64 bytes at a time, then folded to 128, 64 and 32 bits with a Barrett reduction.
// Takes and returns the inverted register; `len` is at least 64 and a multiple of 16.
#define QARO_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

QARO_CLMUL_TARGET inline __m128i load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x * k (both 64-bit halves) folded onto the next 128 bits.
QARO_CLMUL_TARGET inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

QARO_CLMUL_TARGET std::uint32_t crc32_clmul(const unsigned char* buf, std::size_t len,
                                                                     std::uint32_t crc) {
    alignas(16) static const std::uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const std::uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const std::uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const std::uint64_t poly[] = {0x01db710641, 0x01f7011641};

    __m128i x1 = _mm_xor_si128(load(buf), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(buf + 16), x3 = load(buf + 32), x4 = load(buf + 48);
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    buf += 64;
    len -= 64;
    while (len >= 64) {
        x1 = fold(x1, k, load(buf));
        x2 = fold(x2, k, load(buf + 16));
        x3 = fold(x3, k, load(buf + 32));
        x4 = fold(x4, k, load(buf + 48));
        buf += 64;
        len -= 64;
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = fold(x1, k, x2);
    x1 = fold(x1, k, x3);
    x1 = fold(x1, k, x4);
    while (len >= 16) {
        x1 = fold(x1, k, load(buf));
        buf += 16;
        len -= 16;
    }
    // 128 -> 64 bits.
    __m128i x2b = _mm_clmulepi64_si128(x1, k, 0x10);
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2b);
    // 64 -> 32 bits.
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2b = _mm_srli_si128(x1, 4);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    // Barrett reduction.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x2b, mask), k, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

bool clmul_available() {
    static const bool ok = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return ok;
}
#endif

std::uint32_t crc32_zlib(std::uint32_t crc, const unsigned char* p, std::size_t n) {
    uLong c = crc;
    while (n > 0) {
        uInt chunk = n > (1u << 30) ? (1u << 30) : static_cast<uInt>(n);
        c = ::crc32(c, p, chunk);
        p += chunk;
        n -= chunk;
    }
    return static_cast<std::uint32_t>(c);
}

}  // namespace

std::uint32_t crc32_update(std::uint32_t crc, const void* data, std::size_t n) {
    auto p = static_cast<const unsigned char*>(data);
#ifdef QARO_CRC_CLMUL
    if (n >= 64 && clmul_available()) {
        std::size_t chunk = n & ~static_cast<std::size_t>(15);
        crc = ~crc32_clmul(p, chunk, ~crc);
        p += chunk;
        n -= chunk;
    }
#endif
    return crc32_zlib(crc, p, n);
}

std::uint32_t crc32_of(std::string_view bytes) { return crc32_update(0, bytes.data(), bytes.size()); }

namespace {

// CRC-32 of bytes [from, from + length) of an open file, the stored checksum bytes counted as
// zero when asked.
bool range_checksum(File& f, std::uint64_t from, std::uint64_t length, bool skip_stored, std::uint32_t& out) {
    std::uint32_t crc = 0;
    const std::uint64_t stored_end = kStoredSumOffset + 4;
    bool ok = f.scan(from, length, [&](const unsigned char* p, std::size_t n, std::uint64_t pos) {
        if (skip_stored && pos < stored_end && pos + n > kStoredSumOffset) {
            std::uint64_t a = std::max(pos, kStoredSumOffset), b = std::min<std::uint64_t>(pos + n, stored_end);
            static const unsigned char zeros[4] = {0, 0, 0, 0};
            crc = crc32_update(crc, p, static_cast<std::size_t>(a - pos));
            crc = crc32_update(crc, zeros, static_cast<std::size_t>(b - a));
            crc = crc32_update(crc, p + (b - pos), static_cast<std::size_t>(pos + n - b));
        } else {
            crc = crc32_update(crc, p, n);
        }
        return true;
    });
    if (ok) out = crc;
    return ok;
}

}  // namespace

bool file_checksum(File& f, std::uint64_t length, bool skip_stored, std::uint32_t& out) {
    // A large file is summed in two halves at once, the second through its own handle on a
    // helper thread that ends before this returns; zlib combines the two sums. Reading and
    // summing a package from the cache is then about as fast as copying it.
    static constexpr std::uint64_t kParallelFrom = 16ull << 20;
    if (length >= kParallelFrom && std::thread::hardware_concurrency() >= 2) {
        if (auto second = fs().open(f.path(), OpenMode::Read)) {
            std::uint64_t half = length / 2;
            std::uint32_t first_sum = 0, second_sum = 0;
            bool second_ok = false;
            std::thread helper([&] { second_ok = range_checksum(*second, half, length - half, false, second_sum); });
            bool first_ok = range_checksum(f, 0, half, skip_stored, first_sum);
            helper.join();
            if (!first_ok || !second_ok) return false;
            out = static_cast<std::uint32_t>(::crc32_combine(first_sum, second_sum, static_cast<z_off_t>(length - half)));
            return true;
        }
    }
    return range_checksum(f, 0, length, skip_stored, out);
}

}  // namespace qaro
