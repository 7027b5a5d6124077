// qarotool mem / mem2xpf: look into legacy variable files (.MEM) and convert them one by one,
// the way an update converts an installed system's files.
#include <cstdio>

#include "command.h"
#include "platform/file_system.h"
#include "platform/variable_text.h"
#include "platform/xpf_format.h"
#include "xinstal/legacy_conversion.h"
#include "xinstal/legacy_reader.h"

namespace qaro::tool {
namespace {

int fail(const char* cmd, const std::string& msg) {
    std::fprintf(stderr, "qarotool %s: %s\n", cmd, msg.c_str());
    return 1;
}

// Lists what the reader takes from the file, in file order (a name read twice is listed twice;
// a conversion keeps the later value), values after the text rules. Writes nothing.
int run_mem(const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("mem", "usage: qarotool mem FILE");
    std::string bytes;
    if (!fs().read_all(args[0], bytes))
        return fail("mem", args[0] + ": cannot be read (error " + std::to_string(fs().last_error()) + ")");
    if (looks_like_xpf(bytes))
        return fail("mem", args[0] + ": a current variable file, not a legacy one (see qarotool xpf)");
    for (auto& v : read_legacy_variables(bytes))
        std::printf("%s\n", variable_line(Variable{v.name, Scope::Private, v.value}).c_str());
    return 0;
}

// Converts one legacy file with its messages on (they need a terminal or QARO_KEYS).
int run_mem2xpf(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return fail("mem2xpf", "usage: qarotool mem2xpf FILE [OUT]");
    const std::string source = legacy_file_name(args[0]);
    const std::string target = args.size() == 2 ? args[1] : default_xpf_name(source);
    switch (KONWMAIN(Value(args[0]), args.size() == 2 ? Value(args[1]) : Value(), Value(true))) {
        case ConversionResult::Converted:
            std::printf("%s -> %s\n", source.c_str(), target.c_str());
            return 0;
        case ConversionResult::NoVariables:
            std::fprintf(stderr, "qarotool mem2xpf: %s: no variable read; nothing written\n", source.c_str());
            return 0;
        case ConversionResult::AlreadyCurrent:
            std::fprintf(stderr, "qarotool mem2xpf: %s: already a current variable file; left alone\n",
                         source.c_str());
            return 0;
        case ConversionResult::Unreadable: return fail("mem2xpf", source + ": cannot be read");
        case ConversionResult::SaveFailed:
            return fail("mem2xpf", target + ": cannot be written (error " + std::to_string(fs().last_error()) + ")");
        case ConversionResult::EmptyName: return fail("mem2xpf", "empty file name");
        case ConversionResult::MissingFile: return fail("mem2xpf", source + ": no such file");
    }
    return 1;
}

}  // namespace

QAROTOOL_COMMAND("mem", "mem FILE                     list the variables read from a legacy variable file", run_mem);
QAROTOOL_COMMAND("mem2xpf",
                 "mem2xpf FILE [OUT]           convert a legacy variable file (FILE without a dot gets .MEM, OUT"
                 " defaults to its .XPF)",
                 run_mem2xpf);

}  // namespace qaro::tool
