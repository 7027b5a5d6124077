// qarotool sample-medium: builds a sample installation CD.
#include <cstdio>

#include "command.h"
#include "tools/sample_medium.h"

namespace qaro::tool {
namespace {

int sample(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: qarotool sample-medium OUTDIR\n");
        return 2;
    }
    std::string err;
    if (!build_sample_medium(args[0], &err)) {
        std::fprintf(stderr, "qarotool sample-medium: %s\n", err.c_str());
        return 1;
    }
    std::printf("sample CD written to %s\n", args[0].c_str());
    return 0;
}

}  // namespace

QAROTOOL_COMMAND("sample-medium", "sample-medium OUTDIR         build a sample installation CD in OUTDIR", sample);

}  // namespace qaro::tool
