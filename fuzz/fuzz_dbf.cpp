// Fuzz target: an arbitrary .dbf + .dbt pair is opened and every record, field and memo read.
// Input: a 4-byte little-endian length of the .dbf part, then the .dbf bytes, then the .dbt bytes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/table/dbf_table.h"
#include "platform/table/work_area.h"

namespace {
const std::string& sandbox() {
    static const std::string root = [] {
        std::string t = (std::filesystem::temp_directory_path() / "qaro_fuzz_dbf_XXXXXX").string();
        if (!mkdtemp(t.data())) std::abort();
        qaro::set_fs(std::make_unique<qaro::PosixFileSystem>(std::map<char, std::string>{{'C', t}}, t));
        return t;
    }();
    return root;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox();
    std::size_t split = size;
    if (size >= 4) {
        split = (data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::size_t>(data[3]) << 24) % (size - 3);
        data += 4;
        size -= 4;
    }
    const std::string dbf(reinterpret_cast<const char*>(data), split);
    const std::string dbt(reinterpret_cast<const char*>(data) + split, size - split);
    if (!qaro::fs().write_atomic("C:\\F.DBF", dbf) || !qaro::fs().write_atomic("C:\\F.DBT", dbt)) std::abort();
    std::string err;
    auto t = qaro::DbfTable::open("C:\\F.DBF", {false, false}, err);
    if (!t) return 0;
    const auto n = t->record_count();
    for (std::uint32_t r = 1; r <= n; ++r) {
        if (!t->go(r)) break;
        for (std::size_t i = 0; i < t->structure().size(); ++i) (void)t->get(static_cast<int>(i));
    }
    // A change must stay inside what the header says: append one record and close.
    if (t->append_blank()) (void)t->put(0, qaro::Value(std::string("x")));
    t->close();
    return 0;
}
