#include "tools/diskette_set.h"

#include <vector>

#include "platform/file_system.h"
#include "tools/staging.h"

namespace qaro {

bool split_package(std::string_view package, std::string_view outdir_in, int count, std::string_view with_dir,
                   std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (count < 1 || count > 999) return fail("the number of diskettes must be 1 to 999");
    auto in = fs().open(package, OpenMode::Read);
    if (!in) return fail(std::string(package) + ": cannot be opened");
    auto size = in->size();
    if (!size || *size == 0) return fail(std::string(package) + ": empty or unreadable");
    std::uint64_t piece = (*size + static_cast<std::uint64_t>(count) - 1) / static_cast<std::uint64_t>(count);
    if (piece < 16) return fail("too many diskettes: the first piece must hold the 16-byte header");
    std::string outdir = strip_backslash(outdir_in);
    if (!fs().is_dir(outdir) && !fs().make_dir(outdir)) return fail(outdir + ": cannot be created");

    std::vector<char> buf(1 << 20);
    std::uint64_t left = *size;
    for (int n = 1; n <= count; ++n) {
        std::string disk = join_path(outdir, std::to_string(n));
        if (!fs().is_dir(disk) && !fs().make_dir(disk)) return fail(disk + ": cannot be created");
        std::string marker = n == 1 ? "DD" : "DYSK " + std::to_string(n);
        if (!fs().write_atomic(join_path(disk, "DYSK_" + std::to_string(n)), marker)) return fail(disk + ": marker not written");
        std::string target = join_path(disk, "qarovor.dat");
        std::string tmp = fs().temp_name_beside(target);
        auto out = fs().create(tmp);
        if (!out) return fail(target + ": cannot be created");
        std::uint64_t this_piece = std::min(piece, left);
        std::uint64_t done = 0;
        while (done < this_piece) {
            auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), this_piece - done));
            if (in->read(buf.data(), want) != static_cast<long long>(want) ||
                out->write(buf.data(), want) != static_cast<long long>(want)) {
                out->close();
                fs().remove_file(tmp);
                return fail(target + ": copy failed");
            }
            done += want;
        }
        bool ok = out->flush() && out->close();
        if (!ok || !fs().replace(tmp, target)) {
            fs().remove_file(tmp);
            return fail(target + ": cannot be written");
        }
        left -= this_piece;
    }
    if (!with_dir.empty()) {
        std::string first = join_path(outdir, "1");
        std::string dir = strip_backslash(with_dir);
        for (const char* name : {"$sh.exe", "instal.bat", "licencja.txt", "reklama.cfg", "czytaj.txt"}) {
            std::string src = join_path(dir, name);
            if (fs().is_file(src) && !fs().copy_file(src, join_path(first, name), true))
                return fail(src + ": cannot be copied to the first diskette");
        }
        std::string batch = join_path(first, "instal.bat");
        if (!fs().exists(batch) && !fs().write_atomic(batch, restart_batch_text("", "")))
            return fail(batch + ": cannot be written");
    }
    return true;
}

}  // namespace qaro
