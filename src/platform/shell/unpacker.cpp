#include "platform/shell/unpacker.h"

#include <ctime>

#include "platform/file_system.h"
#include "platform/shell/archive_reader.h"
#include "platform/shell/command_line.h"
#include "platform/shell/member_path.h"
#include "platform/value.h"
#include "platform/wildcard.h"

namespace qaro::shell {

namespace {

enum Code { kOk = 0, kNotOverwritten = 1, kFatal = 2, kDataError = 3, kWriteError = 5, kOpenError = 6,
            kUserError = 7, kCreateError = 9, kNoFiles = 10 };

enum class Overwrite { Ask, Always, Never };

struct Options {
    bool with_paths = true;
    Overwrite overwrite = Overwrite::Ask;
    bool quiet = false;
    std::string archive;
    std::vector<std::string> masks;
    std::string dest;
};

FileTime file_time_of(std::time_t t) {
    FileTime ft;
    struct tm tmv {};
    if (::localtime_r(&t, &tmv)) {
        ft.date = Date::from_ymd(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday);
        ft.seconds = tmv.tm_hour * 3600 + tmv.tm_min * 60 + tmv.tm_sec;
    }
    return ft;
}

// Creates `dir` and every missing directory above it.
bool make_dirs(const std::string& dir) {
    std::string full = fs().full_path(dir);
    if (fs().is_dir(full)) return true;
    if (full.size() < 3 || full[1] != ':') return false;
    std::string cur = full.substr(0, 3);   // "C:\"
    std::size_t i = 3;
    while (i <= full.size()) {
        auto j = full.find('\\', i);
        if (j == std::string::npos) j = full.size();
        if (j > i) {
            cur = join_path(cur, full.substr(i, j - i));
            if (!fs().is_dir(cur)) {
                if (fs().exists(cur) || !fs().make_dir(cur)) return false;
            }
        }
        i = j + 1;
    }
    return true;
}

std::string join_parts(const std::vector<std::string>& parts, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) s += '\\';
        s += parts[i];
    }
    return s;
}

bool is_dest_argument(const std::string& a) {
    char last = a.back();
    return last == '\\' || last == '/' || (a.size() == 2 && a[1] == ':');
}

class Extraction {
public:
    Extraction(const Options& o, ShellOutput& out) : o_(o), out_(out) {}

    int run() {
        std::vector<std::string> archives;
        if (has_wildcards(o_.archive)) {
            std::string dir = split_name(o_.archive).dir;
            for (auto& e : fs().list(o_.archive))
                if (!(e.attributes & attr::kDirectory)) archives.push_back(dir + e.name);
            if (archives.empty()) {
                say("No archives found: " + o_.archive);
                return kNoFiles;
            }
        } else {
            std::string name = o_.archive;
            if (!fs().is_file(name) && extension_of(name).empty() && fs().is_file(name + ".rar")) name += ".rar";
            archives.push_back(name);
        }
        dest_ = fs().full_path(o_.dest.empty() ? std::string(".") : strip_backslash(o_.dest));
        if (!make_dirs(dest_)) {
            say("Cannot create " + dest_);
            return kCreateError;
        }
        for (auto& a : archives) extract_archive(a);
        return code_;
    }

private:
    void say(const std::string& s) {
        if (!o_.quiet) out_.line(s);
    }
    void fail(int c, const std::string& why) {
        say(why);
        if (!code_) code_ = c;
    }

    bool matches(const std::string& rel, const std::string& name) const {
        if (o_.masks.empty()) return true;
        for (auto m : o_.masks) {
            for (auto& c : m)
                if (c == '/') c = '\\';
            if (m.find('\\') != std::string::npos ? wildcard_match(m, rel) : wildcard_match(m, name)) return true;
        }
        return false;
    }

    std::string target_of(const std::vector<std::string>& parts) const {
        return join_path(dest_, o_.with_paths ? join_parts(parts, parts.size()) : parts.back());
    }

    void extract_archive(const std::string& archive) {
        ArchiveReader r;
        if (!r.open(archive)) {
            fail(kOpenError, "Cannot open " + archive + ": " + r.error());
            return;
        }
        say("Extracting from " + archive);
        int matched = 0;
        std::vector<std::pair<std::string, FileTime>> dir_times;
        ArchiveMember m;
        for (bool more = true; more;) {
            switch (r.next(m)) {
                case ArchiveReader::Next::End: more = false; continue;
                case ArchiveReader::Next::Fatal:
                    fail(kFatal, archive + ": damaged archive: " + r.error());
                    more = false;
                    continue;
                case ArchiveReader::Next::Broken: fail(kFatal, archive + ": damaged member: " + r.error()); continue;
                case ArchiveReader::Next::Member: break;
            }
            auto parts = safe_member_parts(m.path);
            if (!parts) {
                fail(kFatal, "Refused (path outside the destination): " + m.path);
                continue;
            }
            std::string rel = join_parts(*parts, parts->size());
            if (!matches(rel, parts->back())) continue;
            ++matched;
            switch (m.kind) {
                case ArchiveMember::Kind::Directory:
                    if (o_.with_paths) {
                        std::string dir = join_path(dest_, rel);
                        if (!make_dirs(dir))
                            fail(kCreateError, "Cannot create " + dir);
                        else if (m.mtime)
                            dir_times.emplace_back(dir, file_time_of(*m.mtime));
                    }
                    break;
                case ArchiveMember::Kind::File:
                case ArchiveMember::Kind::HardLink: extract_file(r, m, *parts); break;
                case ArchiveMember::Kind::Other: fail(kFatal, "Unsupported member kind (link or device): " + rel); break;
            }
        }
        if (matched == 0 && code_ == kOk) fail(kNoFiles, "No files to extract in " + archive);
        // Directory dates last: writing the files into them changed those dates.
        for (auto it = dir_times.rbegin(); it != dir_times.rend(); ++it) fs().set_file_time(it->first, it->second);
    }

    void extract_file(ArchiveReader& r, const ArchiveMember& m, const std::vector<std::string>& parts) {
        std::string target = target_of(parts);
        if (m.encrypted) {
            fail(kDataError, "Encrypted member, no password: " + target);
            return;
        }
        if (o_.with_paths && parts.size() > 1 && !make_dirs(join_path(dest_, join_parts(parts, parts.size() - 1)))) {
            fail(kCreateError, "Cannot create the directory of " + target);
            return;
        }
        auto existing = fs().stat(target);
        if (existing) {
            if (existing->attributes & attr::kDirectory) {
                fail(kCreateError, "A directory is in the way: " + target);
                return;
            }
            if (o_.overwrite == Overwrite::Never) {
                say("Skipped (exists)  " + target);
                return;
            }
            if (o_.overwrite == Overwrite::Ask) {
                fail(kNotOverwritten, "Not overwritten (no -o+ or -y): " + target);
                return;
            }
            if (existing->attributes & attr::kReadOnly) {
                fail(kCreateError, "Read-only file not overwritten: " + target);
                return;
            }
        }
        bool written = m.kind == ArchiveMember::Kind::HardLink ? copy_link(m, target) : write_data(r, m, target, existing.has_value());
        if (!written) return;
        fs().set_attributes(target, attr::kArchive | (m.read_only ? attr::kReadOnly : 0u));
        say("Extracting  " + target + "  OK");
    }

    // A hard-link member repeats a member extracted before; its copy is taken from there.
    bool copy_link(const ArchiveMember& m, const std::string& target) {
        auto parts = safe_member_parts(m.link_target);
        if (!parts) {
            fail(kFatal, "Refused (link outside the destination): " + m.link_target);
            return false;
        }
        std::string source = target_of(*parts);
        if (!fs().is_file(source) || !fs().copy_file(source, target, true)) {
            fail(kCreateError, "Cannot create " + target + " from " + source);
            return false;
        }
        return true;
    }

    // Writes the member into a temporary file beside the target and renames it over the
    // target, so that a damaged member never leaves a half-written file behind.
    bool write_data(ArchiveReader& r, const ArchiveMember& m, const std::string& target, bool replacing) {
        std::string tmp = fs().temp_name_beside(target);
        auto f = fs().create(tmp);
        if (!f) {
            fail(kCreateError, "Cannot create " + target);
            return false;
        }
        std::string buf(1 << 16, '\0');
        int error = kOk;
        std::string why;
        for (;;) {
            auto n = r.read(buf.data(), buf.size());
            if (n < 0) {
                error = kDataError;
                why = "Damaged data (" + r.error() + "): " + target;
                break;
            }
            if (n == 0) break;
            if (f->write(buf.data(), static_cast<std::size_t>(n)) != n) {
                error = kWriteError;
                why = "Write error: " + target;
                break;
            }
        }
        // An old file is replaced only by a new one that is on the disk in full.
        if (!error && replacing && !f->flush()) {
            error = kWriteError;
            why = "Write error: " + target;
        }
        if (!f->close() && !error) {
            error = kWriteError;
            why = "Write error: " + target;
        }
        if (!error && m.mtime) fs().set_file_time(tmp, file_time_of(*m.mtime));
        // A new file is simply renamed into place; an old one is replaced durably.
        if (!error && !(replacing ? fs().replace(tmp, target) : fs().rename(tmp, target))) {
            error = kCreateError;
            why = "Cannot create " + target;
        }
        if (error) {
            fs().remove_file(tmp);
            fail(error, why);
            return false;
        }
        return true;
    }

    const Options& o_;
    ShellOutput& out_;
    std::string dest_;
    int code_ = kOk;
};

}  // namespace

int run_unpacker(const std::vector<std::string>& args, ShellOutput& out) {
    Options o;
    if (args.empty()) {
        out.line("Usage: winrar x|e [-y] [-o+|-o-] [-ibck] [-inul] ARCHIVE [MASK...] [DESTDIR\\]");
        return kUserError;
    }
    std::string command = lower(args[0]);
    if (command != "x" && command != "e") {
        out.line("Unknown command: " + args[0]);
        return kUserError;
    }
    o.with_paths = command == "x";
    bool switches = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty()) continue;
        if (switches && a == "--") {
            switches = false;
            continue;
        }
        if (switches && a.size() > 1 && a[0] == '-') {
            std::string s = lower(a.substr(1));
            if (s == "y" || s == "o+") {
                o.overwrite = Overwrite::Always;
            } else if (s == "o-") {
                o.overwrite = Overwrite::Never;
            } else if (s == "inul" || s == "ibck" || s.rfind("id", 0) == 0) {
                o.quiet = o.quiet || s == "inul";
            } else if (s == "c-" || s == "r" || s == "r-") {
                // no comments are shown and archives are read whole anyway
            } else {
                out.line("Unknown switch: " + a);
                return kUserError;
            }
            continue;
        }
        if (o.archive.empty())
            o.archive = a;
        else if (is_dest_argument(a))
            o.dest = a;
        else
            o.masks.push_back(a);
    }
    if (o.archive.empty()) {
        out.line("No archive named");
        return kUserError;
    }
    return Extraction(o, out).run();
}

}  // namespace qaro::shell
