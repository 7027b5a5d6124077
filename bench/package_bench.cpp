// Package figures, each against its plain baseline measured in the same run: verifying a 512 MiB
// package against `cat PKG > /dev/null`, and listing plus extracting every member against a
// `cp -r` of the same members. Usage: package_bench [MIB] (default 512). Data goes to a
// temporary directory that is removed at the end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/screen/console.h"
#include "platform/screen/headless_console.h"
#include "platform/table/work_area.h"
#include "tools/package.h"
#include "tools/package_format.h"

using namespace qaro;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void die(const std::string& m) {
    std::fprintf(stderr, "package_bench: %s\n", m.c_str());
    std::exit(1);
}

double timed_shell(const std::string& cmd) {
    double t = now();
    if (std::system(cmd.c_str()) != 0) die("failed: " + cmd);
    return now() - t;
}

}  // namespace

int main(int argc, char** argv) {
    const long mib = argc > 1 ? std::atol(argv[1]) : 512;
    std::string tmpl = (std::filesystem::temp_directory_path() / "qaro_pkgbench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) die("no temporary directory");
    const std::string root = tmpl;
    set_fs(std::make_unique<PosixFileSystem>(std::map<char, std::string>{{'C', root}}, root));
    set_console(HeadlessConsole::from_script(""));   // progress bars draw, nobody waits

    // Members of mixed sizes: many small files (1-64 KiB), some medium (256 KiB-4 MiB) and a
    // few large ones (16-64 MiB), about `mib` MiB in all, with incompressible content.
    std::mt19937_64 rng(42);
    std::filesystem::create_directories(root + "/SRC/_VOR_BAZ/SUB");
    const std::uint64_t target = static_cast<std::uint64_t>(mib) << 20;
    std::uint64_t total = 0;
    int files = 0;
    std::string buf;
    while (total < target) {
        std::uint64_t size;
        int kind = files % 20;
        if (kind < 16) size = 1024 + rng() % (64 << 10);
        else if (kind < 19) size = (256 << 10) + rng() % (4 << 20);
        else size = (16ull << 20) + rng() % (48ull << 20);
        size = std::min(size, target - total);
        buf.resize(size);
        for (std::size_t i = 0; i + 8 <= buf.size(); i += 8) {
            std::uint64_t v = rng();
            std::memcpy(&buf[i], &v, 8);
        }
        std::string rel = (files % 3 ? "SRC/_VOR_BAZ/F" : "SRC/_VOR_BAZ/SUB/F") + std::to_string(files) + ".BIN";
        std::ofstream(root + "/" + rel, std::ios::binary).write(buf.data(), static_cast<std::streamsize>(buf.size()));
        total += size;
        ++files;
    }
    std::vector<package::PackItem> items;
    std::string err;
    if (!package::collect_tree("C:\\SRC", items, &err) || !package::write_package("C:\\QAROVOR.DAT", items, &err)) die(err);
    std::printf("package: %d members, %.1f MiB\n", files, static_cast<double>(total) / (1 << 20));
    std::fflush(stdout);

    // Warm the page cache once so that both sides read from memory.
    timed_shell("cat '" + root + "/QAROVOR.DAT' > /dev/null");
    double cat = timed_shell("cat '" + root + "/QAROVOR.DAT' > /dev/null");
    double t = now();
    if (!package::verify("C:\\QAROVOR.DAT", &err)) die("verify: " + err);
    double verify = now() - t;

    double cp = timed_shell("cp -r '" + root + "/SRC' '" + root + "/CP'");
    std::filesystem::create_directories(root + "/OUT");
    t = now();
    if (!LISTA_PLIKOW("C:\\", "C:\\OUT")) die("listing failed");
    for (auto& it : items)
        if (!EXTRACT_FILE(EXTRACT_NAME(it.member.path), "C:\\", "C:\\OUT")) die("extraction failed: " + it.member.path);
    double extract = now() - t;
    work_areas().close_all();
    double list_only_t = now();
    if (!LISTA_PLIKOW("C:\\", "C:\\OUT")) die("listing failed");
    double list_only = now() - list_only_t;
    work_areas().close_all();
    if (std::system(("cmp -s '" + root + "/SRC/_VOR_BAZ/F1.BIN' '" + root + "/OUT/_VOR_BAZ/F1.BIN'").c_str()) != 0)
        die("extracted member differs");

    std::printf("verify:   %7.3f s   cat:   %7.3f s   ratio %.2f (target <= 1.5)\n", verify, cat, verify / cat);
    std::printf("extract:  %7.3f s   cp -r: %7.3f s   ratio %.2f (target <= 2.0; listing alone %.3f s)\n", extract, cp,
                extract / cp, list_only);
    set_console(nullptr);
    std::filesystem::remove_all(root);
    return 0;
}
