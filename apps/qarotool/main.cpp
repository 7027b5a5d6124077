// qarotool: the maker's and support staff's tool for package files, tables and variable files.
#include <cstdio>
#include <cstring>

#include "command.h"
#include "platform/posix/posix_file_system.h"

namespace qaro::tool {

static std::vector<Command>& registry() {
    static std::vector<Command> r;
    return r;
}

bool register_command(const Command& c) {
    registry().push_back(c);
    return true;
}

const std::vector<Command>& commands() { return registry(); }

}  // namespace qaro::tool

static void usage(FILE* out) {
    std::fprintf(out, "usage: qarotool COMMAND ARGS...\n");
    for (auto& c : qaro::tool::commands()) {
        const char* u = c.usage;
        while (*u) {
            const char* nl = std::strchr(u, '\n');
            std::size_t n = nl ? static_cast<std::size_t>(nl - u) : std::strlen(u);
            std::fprintf(out, "  qarotool %.*s\n", static_cast<int>(n), u);
            u += n + (nl ? 1 : 0);
        }
    }
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    // The tool works on host paths whatever QARO_DRIVES says: drive C: is the host root and the
    // working directory is the host's, so "/srv/x.dbf", "data/x.dbf" and "data\\x.dbf" all work.
    qaro::set_fs(qaro::PosixFileSystem::host_view());
    for (auto& c : qaro::tool::commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) {
            std::vector<std::string> args(argv + 2, argv + argc);
            return c.run(args);
        }
    }
    std::fprintf(stderr, "qarotool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return 2;
}
