// qarotool split: writes a package as a diskette set.
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "tools/diskette_set.h"

namespace qaro::tool {
namespace {

int split(const std::vector<std::string>& args) {
    std::string with;
    std::vector<std::string> pos;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--with" && i + 1 < args.size())
            with = args[++i];
        else
            pos.push_back(args[i]);
    }
    char* end = nullptr;
    long n = pos.size() == 3 ? std::strtol(pos[2].c_str(), &end, 10) : 0;
    if (pos.size() != 3 || !end || *end || n < 1) {
        std::fprintf(stderr, "usage: qarotool split PKG OUTDIR N [--with DIR]\n");
        return 2;
    }
    std::string err;
    if (!split_package(pos[0], pos[1], static_cast<int>(n), with, &err)) {
        std::fprintf(stderr, "qarotool split: %s\n", err.c_str());
        return 1;
    }
    std::printf("%ld diskettes written to %s\n", n, pos[1].c_str());
    return 0;
}

}  // namespace

QAROTOOL_COMMAND("split",
                 "split PKG OUTDIR N [--with DIR]  diskette set OUTDIR/1..N; --with: installer files for diskette 1",
                 split);

}  // namespace qaro::tool
