#include "platform/lib_files.h"

#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/variable_store.h"

namespace qaro {

bool COPYFILE(std::string_view src, std::string_view dst, bool overwrite) { return fs().copy_file(src, dst, overwrite); }

int E_FILEDELETE(std::string_view mask) {
    int deleted = 0;
    int err = 0;
    std::string dir = dir_of(mask);
    if (dir.empty() && mask.size() >= 2 && mask[1] == ':') dir = std::string(mask.substr(0, 2));
    auto entries = fs().list(mask, attr::kHidden | attr::kSystem);
    if (entries.empty() && fs().last_error()) return 0;
    for (auto& e : entries) {
        std::string p = dir.empty() ? e.name : (dir.back() == ':' ? dir + e.name : join_path(dir, e.name));
        if (fs().remove_file(p))
            ++deleted;
        else
            err = fs().last_error();
    }
    fs().set_last_error(err);
    return deleted;
}

long long E_FILEAPPEND(std::string_view src, std::string_view dst, bool create) {
    auto in = fs().open(src, OpenMode::Read);
    if (!in) return -1;
    std::unique_ptr<File> out;
    if (fs().exists(dst))
        out = fs().open(dst, OpenMode::ReadWrite);
    else if (create)
        out = fs().create(dst);
    else
        fs().set_last_error(doserr::kFileNotFound);
    if (!out) return -1;
    auto end = out->size();
    if (!end || !out->seek(*end)) return -1;
    std::vector<char> buf(1 << 16);
    long long total = 0;
    for (;;) {
        auto n = in->read(buf.data(), buf.size());
        if (n < 0) {
            fs().set_last_error(in->last_error());
            return -1;
        }
        if (n == 0) break;
        if (out->write(buf.data(), static_cast<std::size_t>(n)) != n) {
            fs().set_last_error(out->last_error());
            return -1;
        }
        total += n;
    }
    if (!out->close()) {
        fs().set_last_error(doserr::kWriteFault);
        return -1;
    }
    fs().set_last_error(0);
    return total;
}

int E_FILEERROR() { return fs().last_error(); }

bool DELSTRUCT(std::string_view dir) {
    std::string base = strip_backslash(dir);
    bool good = true;
    for (auto& e : fs().list(join_path(base, "*.*"), attr::kHidden | attr::kSystem | attr::kDirectory)) {
        if (e.name == "." || e.name == "..") continue;
        std::string p = join_path(base, e.name);
        if (e.attributes & attr::kDirectory) {
            good = DELSTRUCT(p) && good;
            good = fs().remove_dir(p) && good;
        } else {
            if (e.attributes & attr::kReadOnly) fs().set_attributes(p, 0);
            good = fs().remove_file(p) && good;
        }
    }
    if (good) fs().set_last_error(0);
    return good;
}

bool E_REMDIR(std::string_view dir) { return fs().remove_dir(strip_backslash(dir)); }

int MAKEDIR(std::string_view dir) { return fs().make_dir(strip_backslash(dir)) ? 0 : fs().last_error(); }

bool ISDIR(std::string_view dir) { return fs().is_dir(strip_backslash(dir)); }

bool CHANGEDISK(char letter) { return fs().set_current_drive(letter); }

bool CHANGEDISK(std::string_view letter) { return !letter.empty() && CHANGEDISK(letter[0]); }

bool CHANGEDIR(std::string_view dir) { return fs().change_dir(dir.empty() ? std::string_view("\\") : dir); }

std::string DISKNAME() { return std::string(1, fs().current_drive()); }

std::string E_DIRNAME(char drive) { return "\\" + fs().current_dir(drive); }

std::vector<std::string> TABFILES(std::string_view mask) {
    std::vector<std::string> names;
    for (auto& e : fs().list(mask, 0)) names.push_back(e.name);
    return names;
}

bool E_SETFATTR(std::string_view file, unsigned sum) { return fs().set_attributes(file, sum); }

bool E_SETFDATI(std::string_view file, std::string_view yyyymmdd, std::string_view hhmmss) {
    FileTime t;
    t.date = Date::from_dtos(yyyymmdd);
    int h = 0, m = 0, s = 0;
    if (hhmmss.size() >= 8) {
        auto num = [&](std::size_t at) { return (hhmmss[at] - '0') * 10 + (hhmmss[at + 1] - '0'); };
        h = num(0);
        m = num(3);
        s = num(6);
    }
    if (t.date.empty() || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) {
        fs().set_last_error(doserr::kAccessDenied);
        return false;
    }
    t.seconds = h * 3600 + m * 60 + s;
    return fs().set_file_time(file, t);
}

std::string MEMORXPF() { return ".xpf"; }

std::string FMEMORXPF(std::string_view name) {
    std::string r(name);
    if (r.size() < 4 || !equal_nocase(std::string_view(r).substr(r.size() - 4), ".mem")) return r;
    static const char lower_ext[] = "xpf";
    for (int i = 0; i < 3; ++i) {
        char& c = r[r.size() - 3 + static_cast<std::size_t>(i)];
        bool is_upper = c >= 'A' && c <= 'Z';
        c = is_upper ? static_cast<char>(lower_ext[i] - 32) : lower_ext[i];
    }
    return r;
}

bool RESTFROM(std::string_view file, bool /*messages*/) { return restore_variables(file); }

}  // namespace qaro
