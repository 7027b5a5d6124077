// libFuzzer target for the legacy variable-file reader: any bytes must be read without a crash,
// without reading outside the buffer and in bounded time.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/variable_text.h"
#include "xinstal/legacy_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // libFuzzer hands over an exact-size heap copy, so the address sanitizer sees any read past
    // the end.
    std::string_view view(reinterpret_cast<const char*>(data), size);
    auto vars = qaro::read_legacy_variables(view);
    // Every record takes at least 32 bytes.
    if (vars.size() > size / 32 + 1) __builtin_trap();
    std::size_t total = 0;
    for (auto& v : vars) {
        if (v.name.empty() || v.name.size() > 10) __builtin_trap();
        total += qaro::variable_line(qaro::Variable{v.name, qaro::Scope::Private, v.value}).size();
    }
    if (total == 0 && !vars.empty()) __builtin_trap();
    return 0;
}
