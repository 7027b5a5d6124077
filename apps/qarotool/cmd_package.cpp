// qarotool pack / list / verify: build and inspect package files.
#include <cstdio>

#include "command.h"
#include "platform/file_system.h"
#include "tools/package_format.h"

namespace qaro::tool {
namespace {

int pack(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: qarotool pack SRC_DIR OUT_FILE\n");
        return 2;
    }
    std::vector<package::PackItem> items;
    std::string err;
    if (!package::collect_tree(args[0], items, &err) || !package::write_package(args[1], items, &err)) {
        std::fprintf(stderr, "qarotool pack: %s\n", err.c_str());
        return 1;
    }
    std::printf("%zu members packed into %s\n", items.size(), args[1].c_str());
    return 0;
}

int list(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: qarotool list PKG\n");
        return 2;
    }
    package::Listing l;
    std::string err;
    if (!package::read_listing(args[0], l, &err)) {
        std::fprintf(stderr, "qarotool list: %s: %s\n", args[0].c_str(), err.c_str());
        return 1;
    }
    for (auto& m : l.members)
        std::printf("%s %s %s %s %u\n", m.path.c_str(), m.attrib.empty() ? "-" : m.attrib.c_str(), m.date.c_str(),
                    m.time.c_str(), m.length);
    return 0;
}

int verify(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: qarotool verify PKG\n");
        return 2;
    }
    std::string err;
    if (!package::verify(args[0], &err)) {
        std::printf("%s: damaged: %s\n", args[0].c_str(), err.c_str());
        return 1;
    }
    std::printf("%s: intact\n", args[0].c_str());
    return 0;
}

}  // namespace

QAROTOOL_COMMAND("pack", "pack SRC_DIR OUT_FILE        build a package from every file under SRC_DIR", pack);
QAROTOOL_COMMAND("list", "list PKG                     members: path, attributes, date, time, length", list);
QAROTOOL_COMMAND("verify", "verify PKG                   exit 0 intact, 1 damaged (with the reason)", verify);

}  // namespace qaro::tool
