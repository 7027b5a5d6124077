#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/wildcard.h"

namespace qaro {

namespace {

constexpr const char* kAttrName = "user.qaro.dosattr";
constexpr unsigned kXattrBits = attr::kHidden | attr::kSystem | attr::kArchive;

char up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool is_sep(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> split_parts(std::string_view s) {
    std::vector<std::string> r;
    std::string cur;
    for (char c : s) {
        if (is_sep(c)) {
            if (!cur.empty()) r.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) r.push_back(cur);
    return r;
}

// Finds `name` in host directory `dir` without regard to ASCII letter case.
std::optional<std::string> find_nocase(const std::string& dir, const std::string& name) {
    struct stat st;
    std::string exact = dir == "/" ? "/" + name : dir + "/" + name;
    if (::lstat(exact.c_str(), &st) == 0) return name;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> found;
    while (auto* e = ::readdir(d)) {
        if (equal_nocase(e->d_name, name)) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

unsigned read_xattr_bits(const std::string& host) {
    char buf[16] = {};
    auto n = ::getxattr(host.c_str(), kAttrName, buf, sizeof buf - 1);
    if (n <= 0) return 0;
    return static_cast<unsigned>(std::strtoul(buf, nullptr, 10)) & kXattrBits;
}

bool write_xattr_bits(const std::string& host, unsigned bits) {
    bits &= kXattrBits;
    if (bits == 0) {
        if (::removexattr(host.c_str(), kAttrName) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
        return true;
    }
    auto s = std::to_string(bits);
    if (::setxattr(host.c_str(), kAttrName, s.data(), s.size(), 0) != 0) return errno == ENOTSUP;
    return true;
}

FileTime file_time_of(const struct stat& st) {
    FileTime t;
    std::time_t secs = st.st_mtim.tv_sec;
    struct tm tmv;
    if (::localtime_r(&secs, &tmv)) {
        t.date = Date::from_ymd(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday);
        t.seconds = tmv.tm_hour * 3600 + tmv.tm_min * 60 + tmv.tm_sec;
    }
    return t;
}

DirEntry entry_of(const std::string& name, const std::string& host, const struct stat& st) {
    DirEntry e;
    e.name = name;
    e.time = file_time_of(st);
    if (S_ISDIR(st.st_mode)) {
        e.attributes |= attr::kDirectory;
    } else {
        e.size = static_cast<std::uint64_t>(st.st_size);
    }
    if (!(st.st_mode & S_IWUSR)) e.attributes |= attr::kReadOnly;
    e.attributes |= read_xattr_bits(host);
    return e;
}

class PosixFile : public File {
public:
    PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFile() override { close(); }

    long long read(void* buf, std::size_t n) override {
        std::size_t done = 0;
        while (done < n) {
            auto r = ::pread(fd_, static_cast<char*>(buf) + done, n - done, static_cast<off_t>(pos_ + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                err_ = doserr::kReadFault;
                return -1;
            }
            if (r == 0) break;
            done += static_cast<std::size_t>(r);
        }
        pos_ += done;
        err_ = 0;
        return static_cast<long long>(done);
    }
    long long write(const void* buf, std::size_t n) override {
        std::size_t done = 0;
        while (done < n) {
            auto r = ::pwrite(fd_, static_cast<const char*>(buf) + done, n - done, static_cast<off_t>(pos_ + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                err_ = dos_error_from_errno(errno);
                if (err_ == doserr::kAccessDenied) err_ = doserr::kWriteFault;
                return -1;
            }
            done += static_cast<std::size_t>(r);
        }
        pos_ += done;
        err_ = 0;
        return static_cast<long long>(done);
    }
    bool seek(std::uint64_t offset) override {
        pos_ = offset;
        err_ = 0;
        return true;
    }
    std::uint64_t tell() const override { return pos_; }
    std::optional<std::uint64_t> size() override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) {
            err_ = dos_error_from_errno(errno);
            return std::nullopt;
        }
        err_ = 0;
        return static_cast<std::uint64_t>(st.st_size);
    }
    bool truncate(std::uint64_t length) override {
        if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
            err_ = dos_error_from_errno(errno);
            return false;
        }
        err_ = 0;
        return true;
    }
    bool flush() override {
        if (::fsync(fd_) != 0 && errno != EINVAL) {
            err_ = doserr::kWriteFault;
            return false;
        }
        err_ = 0;
        return true;
    }
    bool lock(LockMode mode) override {
        struct flock fl {};
        fl.l_type = mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = 0;
        if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
            err_ = doserr::kSharingViolation;
            return false;
        }
        err_ = 0;
        return true;
    }
    bool close() override {
        if (fd_ < 0) return true;
        int r = ::close(fd_);
        fd_ = -1;
        if (r != 0) {
            err_ = doserr::kWriteFault;
            return false;
        }
        return true;
    }
    int last_error() const override { return err_; }
    const std::string& path() const override { return path_; }

private:
    int fd_;
    std::string path_;
    std::uint64_t pos_ = 0;
    int err_ = 0;
};

}  // namespace

int dos_error_from_errno(int e) {
    switch (e) {
        case 0: return doserr::kNone;
        case ENOENT: return doserr::kFileNotFound;
        case ENOTDIR: return doserr::kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return doserr::kAccessDenied;
        case EEXIST: return doserr::kFileExists;
        case ENOSPC:
        case EDQUOT: return doserr::kDiskFull;
        case ENOTEMPTY: return doserr::kDirNotEmpty;
        case EXDEV: return doserr::kNotSameDevice;
        case EMFILE:
        case ENFILE: return doserr::kTooManyOpen;
        case EAGAIN: return doserr::kLockViolation;
        case EIO: return doserr::kWriteFault;
        default: return doserr::kAccessDenied;
    }
}

std::map<char, std::string> PosixFileSystem::parse_drive_map(std::string_view spec) {
    std::map<char, std::string> r;
    std::size_t start = 0;
    while (start <= spec.size()) {
        auto end = spec.find(';', start);
        if (end == std::string_view::npos) end = spec.size();
        auto item = spec.substr(start, end - start);
        if (item.size() >= 3 && item[1] == '=' && std::isalpha(static_cast<unsigned char>(item[0]))) {
            std::string dir(item.substr(2));
            while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
            r[up(item[0])] = dir;
        }
        start = end + 1;
    }
    return r;
}

PosixFileSystem::PosixFileSystem(std::map<char, std::string> drives, const std::string& host_cwd) {
    for (auto& [letter, dir] : drives) {
        char real[PATH_MAX];
        std::string d = dir;
        if (::realpath(dir.c_str(), real)) d = real;
        drives_[up(letter)] = d;
    }
    // The current drive is the mapped drive whose directory holds the working directory
    // (the deepest one when several do); its current directory is the rest of the path.
    std::size_t best = 0;
    bool found = false;
    for (auto& [letter, root] : drives_) {
        std::string prefix = root == "/" ? "/" : root + "/";
        if (host_cwd == root || host_cwd.rfind(prefix, 0) == 0) {
            if (!found || root.size() > best) {
                found = true;
                best = root.size();
                cur_drive_ = letter;
                std::string rest = host_cwd == root ? "" : host_cwd.substr(prefix.size());
                std::replace(rest.begin(), rest.end(), '/', '\\');
                cur_dirs_.clear();
                cur_dirs_[letter] = rest;
            }
        }
    }
    if (!found) cur_drive_ = drives_.count('C') ? 'C' : (drives_.empty() ? 'C' : drives_.begin()->first);
}

std::unique_ptr<PosixFileSystem> PosixFileSystem::from_environment() {
    const char* spec = std::getenv("QARO_DRIVES");
    auto drives = parse_drive_map(spec && *spec ? spec : "C=/");
    char cwd[PATH_MAX];
    std::string here = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    return std::make_unique<PosixFileSystem>(std::move(drives), here);
}

std::unique_ptr<PosixFileSystem> PosixFileSystem::host_view() {
    char cwd[PATH_MAX];
    return std::make_unique<PosixFileSystem>(std::map<char, std::string>{{'C', "/"}}, ::getcwd(cwd, sizeof cwd) ? cwd : "/");
}

std::optional<PosixFileSystem::Resolved> PosixFileSystem::resolve(std::string_view path) const {
    Resolved r;
    std::string_view rest = path;
    if (rest.size() >= 2 && is_sep(rest[0]) && is_sep(rest[1])) {   // UNC names are not ours
        err_ = doserr::kPathNotFound;
        return std::nullopt;
    }
    if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        r.drive = up(rest[0]);
        rest.remove_prefix(2);
    } else {
        r.drive = cur_drive_;
    }
    if (!drives_.count(r.drive)) {
        err_ = doserr::kInvalidDrive;
        return std::nullopt;
    }
    std::vector<std::string> parts;
    if (rest.empty() || !is_sep(rest[0])) {
        auto it = cur_dirs_.find(r.drive);
        if (it != cur_dirs_.end()) parts = split_parts(it->second);
    }
    for (auto& p : split_parts(rest)) {
        if (p == ".") continue;
        if (p == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(p);
    }
    r.parts = std::move(parts);
    return r;
}

std::optional<std::string> PosixFileSystem::to_host(std::string_view path) const {
    auto r = resolve(path);
    if (!r) return std::nullopt;
    std::string host = drives_.at(r->drive);
    bool exists = true;
    for (auto& p : r->parts) {
        std::string name = p;
        if (exists) {
            if (auto f = find_nocase(host, p))
                name = *f;
            else
                exists = false;
        }
        host = host == "/" ? "/" + name : host + "/" + name;
    }
    return host;
}

std::optional<std::string> PosixFileSystem::host_path(std::string_view path) const { return to_host(path); }

std::string PosixFileSystem::full_path(std::string_view path) const {
    auto r = resolve(path);
    if (!r) return std::string(path);
    std::string s(1, r->drive);
    s += ":\\";
    for (std::size_t i = 0; i < r->parts.size(); ++i) {
        if (i) s += '\\';
        s += r->parts[i];
    }
    return s;
}

bool PosixFileSystem::drive_available(char letter) const {
    auto it = drives_.find(up(letter));
    if (it == drives_.end()) return false;
    struct stat st;
    return ::stat(it->second.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::set_current_drive(char letter) {
    if (!drive_available(letter)) return fail(doserr::kInvalidDrive);
    cur_drive_ = up(letter);
    return ok();
}

std::string PosixFileSystem::current_dir(char letter) const {
    auto it = cur_dirs_.find(letter ? up(letter) : cur_drive_);
    return it == cur_dirs_.end() ? std::string() : it->second;
}

bool PosixFileSystem::change_dir(std::string_view path) {
    auto r = resolve(path);
    if (!r) return false;
    auto host = to_host(path);
    struct stat st;
    if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return fail(doserr::kPathNotFound);
    // Keep the on-disk letter case of each component.
    std::string rel = host->substr(drives_.at(r->drive).size());
    while (!rel.empty() && rel[0] == '/') rel.erase(0, 1);
    std::replace(rel.begin(), rel.end(), '/', '\\');
    cur_dirs_[r->drive] = rel;
    return ok();
}

bool PosixFileSystem::exists(std::string_view path) const {
    auto h = to_host(path);
    struct stat st;
    return h && ::stat(h->c_str(), &st) == 0;
}

bool PosixFileSystem::is_dir(std::string_view path) const {
    auto h = to_host(path);
    struct stat st;
    return h && ::stat(h->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::is_file(std::string_view path) const {
    auto h = to_host(path);
    struct stat st;
    return h && ::stat(h->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<DirEntry> PosixFileSystem::stat(std::string_view path) const {
    auto h = to_host(path);
    struct stat st;
    if (!h) return std::nullopt;
    if (::stat(h->c_str(), &st) != 0) {
        fail(dos_error_from_errno(errno));
        return std::nullopt;
    }
    auto slash = h->rfind('/');
    ok();
    return entry_of(h->substr(slash + 1), *h, st);
}

std::vector<DirEntry> PosixFileSystem::list(std::string_view pattern, unsigned include) const {
    std::vector<DirEntry> out;
    std::string pat(pattern);
    std::string dir = dir_of(pat);
    std::string mask = base_name(pat);
    if (mask.empty()) mask = "*.*";
    if (dir.empty() && pat.size() >= 2 && pat[1] == ':') dir = pat.substr(0, 2);
    auto r = resolve(dir.empty() ? std::string_view(".") : std::string_view(dir));
    auto host = to_host(dir.empty() ? std::string_view(".") : std::string_view(dir));
    if (!r || !host) return out;
    DIR* d = ::opendir(host->c_str());
    if (!d) {
        fail(dos_error_from_errno(errno));
        return out;
    }
    bool at_root = r->parts.empty();
    while (auto* e = ::readdir(d)) {
        std::string name = e->d_name;
        if ((name == "." || name == "..") && (at_root || !(include & attr::kDirectory))) continue;
        if (!wildcard_match(mask, name)) continue;
        std::string h = *host == "/" ? "/" + name : *host + "/" + name;
        struct stat st;
        if (::stat(h.c_str(), &st) != 0) continue;
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
        DirEntry de = entry_of(name, h, st);
        unsigned special = de.attributes & (attr::kHidden | attr::kSystem | attr::kDirectory | attr::kVolume);
        if ((special & ~include) != 0) continue;
        out.push_back(std::move(de));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
        return upper(a.name) < upper(b.name);
    });
    ok();
    return out;
}

bool PosixFileSystem::set_attributes(std::string_view path, unsigned bits) {
    auto h = to_host(path);
    if (!h) return false;
    struct stat st;
    if (::stat(h->c_str(), &st) != 0) return fail(dos_error_from_errno(errno));
    mode_t mode = st.st_mode & 07777;
    mode_t want = (bits & attr::kReadOnly) ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (want != mode && ::chmod(h->c_str(), want) != 0) return fail(dos_error_from_errno(errno));
    if (!write_xattr_bits(*h, bits)) return fail(dos_error_from_errno(errno));
    return ok();
}

bool PosixFileSystem::set_file_time(std::string_view path, const FileTime& t) {
    auto h = to_host(path);
    if (!h) return false;
    int y, m, d;
    t.date.ymd(y, m, d);
    if (t.date.empty()) return fail(doserr::kAccessDenied);
    struct tm tmv {};
    tmv.tm_year = y - 1900;
    tmv.tm_mon = m - 1;
    tmv.tm_mday = d;
    tmv.tm_hour = t.seconds / 3600;
    tmv.tm_min = (t.seconds / 60) % 60;
    tmv.tm_sec = t.seconds % 60;
    tmv.tm_isdst = -1;
    std::time_t secs = ::mktime(&tmv);
    struct timespec ts[2];
    ts[0].tv_sec = ts[1].tv_sec = secs;
    ts[0].tv_nsec = ts[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, h->c_str(), ts, 0) != 0) return fail(dos_error_from_errno(errno));
    return ok();
}

bool PosixFileSystem::remove_file(std::string_view path) {
    auto h = to_host(path);
    if (!h) return false;
    struct stat st;
    if (::lstat(h->c_str(), &st) != 0) return fail(dos_error_from_errno(errno));
    if (S_ISDIR(st.st_mode)) return fail(doserr::kAccessDenied);
    if (!(st.st_mode & S_IWUSR)) return fail(doserr::kAccessDenied);
    if (::unlink(h->c_str()) != 0) return fail(dos_error_from_errno(errno));
    return ok();
}

bool PosixFileSystem::make_dir(std::string_view path) {
    auto h = to_host(path);
    if (!h) return false;
    if (::mkdir(h->c_str(), 0777) != 0) {
        int e = errno;
        return fail(e == ENOENT ? doserr::kPathNotFound : e == EEXIST ? doserr::kAccessDenied : dos_error_from_errno(e));
    }
    return ok();
}

bool PosixFileSystem::remove_dir(std::string_view path) {
    auto h = to_host(path);
    if (!h) return false;
    if (::rmdir(h->c_str()) != 0) return fail(dos_error_from_errno(errno));
    return ok();
}

bool PosixFileSystem::rename(std::string_view from, std::string_view to) {
    auto a = to_host(from);
    auto b = to_host(to);
    if (!a || !b) return false;
    struct stat st;
    if (::lstat(a->c_str(), &st) != 0) return fail(dos_error_from_errno(errno));
    if (*a == *b) {
        // Only the letter case changes: the look-up found the source itself as the target.
        std::string target = b->substr(0, b->rfind('/') + 1) + base_name(to);
        if (::rename(a->c_str(), target.c_str()) != 0) return fail(dos_error_from_errno(errno));
        return ok();
    }
    if (::lstat(b->c_str(), &st) == 0) return fail(doserr::kAccessDenied);
    if (::rename(a->c_str(), b->c_str()) != 0) return fail(dos_error_from_errno(errno));
    return ok();
}

bool PosixFileSystem::replace(std::string_view source, std::string_view target) {
    auto a = to_host(source);
    auto b = to_host(target);
    if (!a || !b) return false;
    struct stat st;
    if (::lstat(b->c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return fail(doserr::kAccessDenied);
    if (::rename(a->c_str(), b->c_str()) != 0) return fail(dos_error_from_errno(errno));
    // Make the rename itself durable.
    auto slash = b->rfind('/');
    std::string dir = slash == 0 ? "/" : b->substr(0, slash);
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return ok();
}

bool PosixFileSystem::copy_file(std::string_view from, std::string_view to, bool overwrite) {
    auto a = to_host(from);
    auto b = to_host(to);
    if (!a || !b) return false;
    struct stat sst, dst;
    if (::stat(a->c_str(), &sst) != 0) return fail(dos_error_from_errno(errno));
    if (!S_ISREG(sst.st_mode)) return fail(doserr::kAccessDenied);
    if (::stat(b->c_str(), &dst) == 0) {
        if (!overwrite) return fail(doserr::kFileExists);
        if (!(dst.st_mode & S_IWUSR)) return fail(doserr::kAccessDenied);
        if (dst.st_dev == sst.st_dev && dst.st_ino == sst.st_ino) return fail(doserr::kAccessDenied);
    }
    int in = ::open(a->c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fail(dos_error_from_errno(errno));
    std::string tmp_dos = temp_name_beside(to);
    auto tmp = to_host(tmp_dos);
    int out = tmp ? ::open(tmp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666) : -1;
    if (out < 0) {
        int e = errno;
        ::close(in);
        return fail(e == ENOENT ? doserr::kPathNotFound : dos_error_from_errno(e));
    }
    static constexpr std::size_t kBlock = 1 << 16;
    std::vector<char> buf(kBlock);
    int error = 0;
    for (;;) {
        auto n = ::read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error = doserr::kReadFault;
            break;
        }
        if (n == 0) break;
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(n)) {
            auto w = ::write(out, buf.data() + done, static_cast<std::size_t>(n) - done);
            if (w < 0) {
                if (errno == EINTR) continue;
                error = dos_error_from_errno(errno);
                break;
            }
            done += static_cast<std::size_t>(w);
        }
        if (error) break;
    }
    if (!error && ::fsync(out) != 0) error = doserr::kWriteFault;
    ::close(in);
    if (::close(out) != 0 && !error) error = doserr::kWriteFault;
    if (!error) {
        struct timespec ts[2] = {sst.st_mtim, sst.st_mtim};
        ::utimensat(AT_FDCWD, tmp->c_str(), ts, 0);
        unsigned bits = read_xattr_bits(*a) & (attr::kHidden | attr::kSystem);
        write_xattr_bits(*tmp, bits | attr::kArchive);
        if (::rename(tmp->c_str(), b->c_str()) != 0) error = dos_error_from_errno(errno);
    }
    if (error) {
        ::unlink(tmp->c_str());
        return fail(error);
    }
    return ok();
}

std::unique_ptr<File> PosixFileSystem::open(std::string_view path, OpenMode mode) {
    auto h = to_host(path);
    if (!h) return nullptr;
    struct stat st;
    if (::stat(h->c_str(), &st) != 0) {
        fail(errno == ENOENT && !is_dir(dir_of(path).empty() ? "." : dir_of(path)) ? doserr::kPathNotFound
                                                                                 : dos_error_from_errno(errno));
        return nullptr;
    }
    if (S_ISDIR(st.st_mode)) {
        fail(doserr::kAccessDenied);
        return nullptr;
    }
    if (mode == OpenMode::ReadWrite && !(st.st_mode & S_IWUSR)) {
        fail(doserr::kAccessDenied);
        return nullptr;
    }
    int fd = ::open(h->c_str(), (mode == OpenMode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) {
        fail(dos_error_from_errno(errno));
        return nullptr;
    }
    ok();
    return std::make_unique<PosixFile>(fd, std::string(path));
}

std::unique_ptr<File> PosixFileSystem::create(std::string_view path) {
    auto h = to_host(path);
    if (!h) return nullptr;
    struct stat st;
    if (::stat(h->c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) {
        fail(doserr::kAccessDenied);
        return nullptr;
    }
    int fd = ::open(h->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errno == ENOENT ? doserr::kPathNotFound : dos_error_from_errno(errno));
        return nullptr;
    }
    ok();
    return std::make_unique<PosixFile>(fd, std::string(path));
}

}  // namespace qaro
