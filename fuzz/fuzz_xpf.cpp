// Fuzz target: the current variable-file decoder must reject or accept any bytes without
// crashing, and what it accepts must encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/xpf_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto vars = qaro::decode_xpf(bytes);
    if (vars) {
        auto again = qaro::encode_xpf(*vars);
        if (again != bytes) std::abort();
    }
    return 0;
}
