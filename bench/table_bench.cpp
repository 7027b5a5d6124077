// Table engine figures on a large table, each against a plain `cp` of the same file measured in
// the same run: append-all, sequential read, rebuild into a new structure by field name (the
// migration's READ_REKORD / WRITE_REKORD pattern), index build on a 10-byte key. Prints peak
// memory after each step. Usage: table_bench [RECORDS] (default 1000000). Data goes to a
// temporary directory that is removed at the end.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/table/dbf_table.h"
#include "platform/table/table_functions.h"
#include "platform/table/work_area.h"

using namespace qaro;

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long peak_mib() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void die(const std::string& m) {
    std::fprintf(stderr, "table_bench: %s\n", m.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const long n = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string tmpl = (std::filesystem::temp_directory_path() / "qaro_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) die("no temporary directory");
    const std::string root = tmpl;
    set_fs(std::make_unique<PosixFileSystem>(std::map<char, std::string>{{'C', root}}, root));

    // About 600 bytes per record, with a 480-byte character field.
    const Structure s = {{"ID", 'C', 10, 0},   {"NAME", 'C', 40, 0}, {"AMOUNT", 'N', 12, 2}, {"DAY", 'D', 8, 0},
                         {"FLAG", 'L', 1, 0},  {"WARTOSCI", 'C', 480, 0}, {"QTY", 'N', 10, 0}, {"CITY", 'C', 38, 0}};
    Structure s2 = s;
    s2[1].width = 50;                        // a widened field
    s2.erase(s2.begin() + 7);                // a dropped field
    s2.push_back({"NR_KL", 'C', 1, 0});      // a new field
    std::string err;
    if (!DbfTable::create("C:\\BIG.DBF", s, err) || !DbfTable::create("C:\\NEW.DBF", s2, err)) die(err);
    std::printf("records: %ld, record length: %d bytes\n", n, 1 + 10 + 40 + 12 + 8 + 1 + 480 + 10 + 38);
    std::printf("peak memory at start: %ld MiB\n", peak_mib());

    // Append-all.
    double t0 = now();
    if (!work_areas().open("C:\\BIG.DBF", "BIG", false)) die(work_areas().error());
    WorkArea& big = work_areas().current();
    std::string wart(480, '\0');
    for (long i = 0; i < n; ++i) {
        char id[24];
        std::snprintf(id, sizeof id, "%010ld", (i * 7919) % n);
        wart[i % 480] = static_cast<char>(i);
        big.append_blank();
        big.put(1, Value(id));
        big.put(2, Value("Employee name " + std::to_string(i)));
        big.put(3, Value(i * 1.25));
        big.put(4, Value(Date::from_ymd(2000 + static_cast<int>(i % 25), 1 + static_cast<int>(i % 12), 1 + static_cast<int>(i % 28))));
        big.put(5, Value(i % 2 == 0));
        big.put(6, Value(wart));
        big.put(7, Value(static_cast<double>(i % 1000)));
        big.put(8, Value("Warszawa"));
    }
    big.commit();
    const double t_append = now() - t0;
    const long m_append = peak_mib();

    // Baseline: cp of the same file.
    const std::string host_big = root + "/BIG.DBF";
    std::system(("sync; cat " + host_big + " > /dev/null").c_str());
    t0 = now();
    if (std::system(("cp " + host_big + " " + root + "/COPY.DBF").c_str()) != 0) die("cp failed");
    const double t_cp = now() - t0;
    std::filesystem::remove(root + "/COPY.DBF");

    // Sequential read of every field.
    t0 = now();
    double sum = 0;
    std::size_t bytes = 0;
    for (big.go_top(); !big.eof(); big.skip()) {
        for (int f = 1; f <= 8; ++f) {
            Value v = big.get(f);
            if (v.is_number()) sum += v.number();
            if (v.is_text()) bytes += v.text().size();
        }
    }
    const double t_read = now() - t0;
    const long m_read = peak_mib();

    // Rebuild into the new structure by field name.
    t0 = now();
    if (!work_areas().open("C:\\NEW.DBF", "TYMCZ", false)) die(work_areas().error());
    for (big.go_top(); !big.eof(); big.skip()) {
        work_areas().select("BIG");
        Value pairs = READ_REKORD();
        work_areas().select("TYMCZ");
        APPE_BLAN();
        WRITE_REKORD(pairs);
    }
    work_areas().current().close();
    const double t_rebuild = now() - t0;
    const long m_rebuild = peak_mib();

    // Index on the 10-byte key.
    work_areas().select("BIG");
    t0 = now();
    if (!big.create_index("C:\\BIG.NTX", "ID")) die(big.error());
    const double t_index = now() - t0;
    const long m_index = peak_mib();
    big.seek(Value("0000000042"));
    if (!big.found()) die("the index does not find a key it holds");

    work_areas().close_all();
    std::uintmax_t size = std::filesystem::file_size(host_big);
    std::filesystem::remove_all(root);

    std::printf("table size: %.1f MiB (checksum %.0f, %zu text bytes read)\n", size / 1048576.0, sum, bytes);
    std::printf("%-34s %9s %9s %14s\n", "step", "seconds", "x cp", "peak MiB after");
    std::printf("%-34s %9.3f %9.2f %14s\n", "cp (baseline)", t_cp, 1.0, "-");
    std::printf("%-34s %9.3f %9.2f %14ld\n", "append-all", t_append, t_append / t_cp, m_append);
    std::printf("%-34s %9.3f %9.2f %14ld\n", "sequential read", t_read, t_read / t_cp, m_read);
    std::printf("%-34s %9.3f %9.2f %14ld\n", "rebuild by field name", t_rebuild, t_rebuild / t_cp, m_rebuild);
    std::printf("%-34s %9.3f %9.2f %14ld\n", "index build (10-byte key)", t_index, t_index / t_cp, m_index);
    std::printf("index build per million keys: %.3f s\n", t_index / (static_cast<double>(n) / 1e6));
    return 0;
}
