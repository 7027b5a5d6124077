#include "platform/file_system.h"

#include <algorithm>
#include <cstdio>
#include <vector>
#include <random>

#include "platform/posix/posix_file_system.h"

namespace qaro {

namespace attr {
unsigned from_letters(std::string_view letters) {
    unsigned bits = 0;
    for (char c : letters) {
        switch (c) {
            case 'R': case 'r': bits |= kReadOnly; break;
            case 'H': case 'h': bits |= kHidden; break;
            case 'S': case 's': bits |= kSystem; break;
            case 'A': case 'a': bits |= kArchive; break;
            case 'D': case 'd': bits |= kDirectory; break;
            case 'V': case 'v': bits |= kVolume; break;
            default: break;
        }
    }
    return bits;
}

std::string to_letters(unsigned bits) {
    std::string s;
    if (bits & kReadOnly) s += 'R';
    if (bits & kHidden) s += 'H';
    if (bits & kSystem) s += 'S';
    if (bits & kArchive) s += 'A';
    if (bits & kDirectory) s += 'D';
    if (bits & kVolume) s += 'V';
    return s;
}
}  // namespace attr

std::string FileTime::hms() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
    return buf;
}

bool File::scan(std::uint64_t offset, std::uint64_t length,
                const std::function<bool(const unsigned char*, std::size_t, std::uint64_t)>& consume) {
    static constexpr std::size_t kBlock = 128 << 10;
    std::vector<unsigned char> buf(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, length)));
    if (!seek(offset)) return false;
    for (std::uint64_t pos = offset, end = offset + length; pos < end;) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), end - pos));
        if (read(buf.data(), want) != static_cast<long long>(want)) return false;
        if (!consume(buf.data(), want, pos)) return false;
        pos += want;
    }
    return true;
}

bool File::read_at(std::uint64_t offset, void* buf, std::size_t n) {
    return seek(offset) && read(buf, n) == static_cast<long long>(n);
}

bool File::write_at(std::uint64_t offset, const void* buf, std::size_t n) {
    return seek(offset) && write(buf, n) == static_cast<long long>(n);
}

bool FileSystem::read_all(std::string_view path, std::string& out) {
    out.clear();
    auto f = open(path, OpenMode::Read);
    if (!f) return false;
    auto size = f->size();
    if (!size) return false;
    out.resize(*size);
    if (f->read(out.data(), out.size()) != static_cast<long long>(out.size())) {
        set_last_error(doserr::kReadFault);
        out.clear();
        return false;
    }
    set_last_error(doserr::kNone);
    return true;
}

bool FileSystem::write_atomic(std::string_view path, std::string_view bytes) {
    std::string tmp = temp_name_beside(path);
    auto f = create(tmp);
    if (!f) return false;
    bool good = f->write(bytes.data(), bytes.size()) == static_cast<long long>(bytes.size()) && f->flush();
    int err = f->last_error();
    good = f->close() && good;
    if (!good) {
        remove_file(tmp);
        set_last_error(err ? err : doserr::kWriteFault);
        return false;
    }
    if (!replace(tmp, path)) {
        int e = last_error();
        remove_file(tmp);
        set_last_error(e);
        return false;
    }
    return true;
}

std::string FileSystem::temp_name_beside(std::string_view path) const {
    static std::mt19937 rng{std::random_device{}()};
    std::string dir = dir_of(path);
    if (dir.empty() && path.size() >= 2 && path[1] == ':') dir = std::string(path.substr(0, 2));
    for (;;) {
        char name[16];
        std::snprintf(name, sizeof name, "~Q%06X.TMP", static_cast<unsigned>(rng() & 0xFFFFFF));
        std::string p = dir.empty() ? std::string(name) : (dir.back() == ':' ? dir + name : join_path(dir, name));
        if (!exists(p)) return p;
    }
}

namespace {
std::unique_ptr<FileSystem>& fs_slot() {
    static std::unique_ptr<FileSystem> f;
    return f;
}
}  // namespace

FileSystem& fs() {
    auto& f = fs_slot();
    if (!f) f = PosixFileSystem::from_environment();
    return *f;
}

void set_fs(std::unique_ptr<FileSystem> f) { fs_slot() = std::move(f); }

namespace {
std::size_t last_sep(std::string_view p) { return p.find_last_of("\\/"); }
}  // namespace

std::string dir_of(std::string_view path) {
    auto i = last_sep(path);
    if (i == std::string_view::npos) return std::string();
    if (i == 0) return "\\";
    if (i == 2 && path[1] == ':') return std::string(path.substr(0, 3));
    return std::string(path.substr(0, i));
}

std::string base_name(std::string_view path) {
    auto i = last_sep(path);
    if (i == std::string_view::npos) {
        if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(2));
        return std::string(path);
    }
    return std::string(path.substr(i + 1));
}

std::string extension_of(std::string_view path) {
    std::string b = base_name(path);
    auto i = b.rfind('.');
    return i == std::string::npos ? std::string() : b.substr(i);
}

std::string with_extension(std::string_view path, std::string_view ext) {
    std::string b = base_name(path);
    std::string p(path);
    auto i = b.rfind('.');
    if (i != std::string::npos) p.resize(p.size() - (b.size() - i));
    if (!ext.empty() && ext[0] != '.') p += '.';
    return p + std::string(ext);
}

std::string join_path(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string r(dir);
    if (r.back() != '\\' && r.back() != '/' && r.back() != ':') r += '\\';
    while (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.remove_prefix(1);
    return r + std::string(name);
}

std::string add_backslash(std::string_view dir) {
    std::string r(dir);
    if (r.empty() || r.back() != '\\') r += '\\';
    return r;
}

std::string strip_backslash(std::string_view dir) {
    std::string r(dir);
    while (r.size() > 1 && r.back() == '\\' && !(r.size() == 3 && r[1] == ':')) r.pop_back();
    return r;
}

}  // namespace qaro
