// The emulated DOS file system: drive letters, backslash paths, attributes, listings.
// Business code reaches files only through this interface; the host implementation lives in
// platform/posix. Paths are DOS paths ("C:\FIRMA\PLACE.DBF", "C:FIRMA", "\DIR", "NAME.EXT").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

// DOS attribute bits.
namespace attr {
constexpr unsigned kReadOnly = 1;
constexpr unsigned kHidden = 2;
constexpr unsigned kSystem = 4;
constexpr unsigned kVolume = 8;
constexpr unsigned kDirectory = 16;
constexpr unsigned kArchive = 32;
// "RHSADV" letters to bits; unknown letters are ignored.
unsigned from_letters(std::string_view letters);
std::string to_letters(unsigned bits);   // in the order R H S A D V, e.g. "RA"
}  // namespace attr

// DOS error numbers reported by E_FILEERROR and kept by the file system after each call.
namespace doserr {
constexpr int kNone = 0;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kTooManyOpen = 4;
constexpr int kAccessDenied = 5;
constexpr int kInvalidDrive = 15;
constexpr int kNotSameDevice = 17;
constexpr int kWriteFault = 29;
constexpr int kReadFault = 30;
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;
constexpr int kDiskFull = 39;
constexpr int kFileExists = 80;
constexpr int kCannotMake = 82;
constexpr int kDirNotEmpty = 145;
}  // namespace doserr

struct FileTime {
    Date date;
    int seconds = 0;   // seconds since midnight, local time
    std::string hms() const;   // "hh:mm:ss"
};

struct DirEntry {
    std::string name;   // as stored on disk
    std::uint64_t size = 0;
    FileTime time;
    unsigned attributes = 0;   // attr::k* bits, kDirectory for directories
};

enum class OpenMode { Read, ReadWrite };
enum class LockMode { Shared, Exclusive };

// An open file. Every call sets last_error() (doserr::kNone on success).
class File {
public:
    virtual ~File() = default;
    // Bytes read; 0 at end of file; -1 on error.
    virtual long long read(void* buf, std::size_t n) = 0;
    // Bytes written; -1 on error (a short write is an error).
    virtual long long write(const void* buf, std::size_t n) = 0;
    virtual bool seek(std::uint64_t offset) = 0;
    virtual std::uint64_t tell() const = 0;
    virtual std::optional<std::uint64_t> size() = 0;
    virtual bool truncate(std::uint64_t length) = 0;
    virtual bool flush() = 0;   // data on stable storage
    // Non-blocking whole-file lock, held until close; fails when another process holds a
    // conflicting one.
    virtual bool lock(LockMode mode) = 0;
    virtual bool close() = 0;
    virtual int last_error() const = 0;
    virtual const std::string& path() const = 0;   // the DOS path it was opened by

    // Hands the `length` bytes from `offset` on to `consume` in order, in blocks small enough to
    // stay in the processor's cache (each with its offset from the start of the file); false when
    // the file is shorter, cannot be read, or `consume` says stop.
    bool scan(std::uint64_t offset, std::uint64_t length,
              const std::function<bool(const unsigned char* data, std::size_t n, std::uint64_t offset)>& consume);

    // Convenience: read exactly n bytes at offset (false on short read or error).
    bool read_at(std::uint64_t offset, void* buf, std::size_t n);
    bool write_at(std::uint64_t offset, const void* buf, std::size_t n);
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // --- paths, drives, current directories ---
    // Canonical DOS form "X:\DIR\NAME" of a path (letter case as given, no host look-up).
    virtual std::string full_path(std::string_view path) const = 0;
    virtual bool drive_available(char letter) const = 0;
    virtual char current_drive() const = 0;            // upper-case letter
    virtual bool set_current_drive(char letter) = 0;
    // Current directory of a drive (0: the current drive) without drive and leading backslash,
    // "" at the root ("FIRMA\PLACE").
    virtual std::string current_dir(char letter = 0) const = 0;
    virtual bool change_dir(std::string_view path) = 0;   // also changes that drive's directory

    // --- queries ---
    virtual bool exists(std::string_view path) const = 0;   // file or directory
    virtual bool is_dir(std::string_view path) const = 0;
    virtual bool is_file(std::string_view path) const = 0;
    virtual std::optional<DirEntry> stat(std::string_view path) const = 0;
    // Entries matching a wildcard path ("C:\FIRMA\*.DBF"). Normal files always; hidden, system,
    // directory and volume entries only when their bit is in `include`. Subdirectories list
    // "." and ".." when directories are included.
    virtual std::vector<DirEntry> list(std::string_view pattern, unsigned include = 0) const = 0;

    // --- changes; each returns false and sets last_error() on failure ---
    virtual bool set_attributes(std::string_view path, unsigned bits) = 0;
    virtual bool set_file_time(std::string_view path, const FileTime& t) = 0;
    virtual bool remove_file(std::string_view path) = 0;       // a read-only file is refused
    virtual bool make_dir(std::string_view path) = 0;
    virtual bool remove_dir(std::string_view path) = 0;        // must be empty
    // Renames or moves within a drive; fails when the target exists.
    virtual bool rename(std::string_view from, std::string_view to) = 0;
    // Atomically replaces `target` by `source` (the temporary-file-then-rename step of every
    // table and variable-file rewrite). A read-only target is refused.
    virtual bool replace(std::string_view source, std::string_view target) = 0;
    // Copies content, date and time; attributes other than read-only are kept.
    virtual bool copy_file(std::string_view from, std::string_view to, bool overwrite) = 0;

    // --- open files ---
    virtual std::unique_ptr<File> open(std::string_view path, OpenMode mode) = 0;
    // Creates or truncates; a read-only existing file is refused.
    virtual std::unique_ptr<File> create(std::string_view path) = 0;

    // Error number of the last failing or succeeding call (0 = success).
    virtual int last_error() const = 0;
    virtual void set_last_error(int e) = 0;

    // Host path of a DOS path, for the platform's own use (logging, child processes).
    // Existing components are found without regard to case; missing ones keep the given case.
    virtual std::optional<std::string> host_path(std::string_view path) const = 0;

    // --- helpers built on the calls above ---
    bool read_all(std::string_view path, std::string& out);
    // Writes a temporary file beside `path`, flushes it and renames it over `path`.
    bool write_atomic(std::string_view path, std::string_view bytes);
    // A name for a temporary file in the directory of `path` that does not exist yet.
    std::string temp_name_beside(std::string_view path) const;
};

// The run's file system. Tests may install another one.
FileSystem& fs();
void set_fs(std::unique_ptr<FileSystem> f);

// Path text helpers (no file-system access).
std::string dir_of(std::string_view path);          // "C:\A\B.DBF" -> "C:\A"; "B.DBF" -> ""
std::string base_name(std::string_view path);       // "C:\A\B.DBF" -> "B.DBF"
std::string extension_of(std::string_view path);    // "B.DBF" -> ".DBF"; none -> ""
std::string with_extension(std::string_view path, std::string_view ext);   // replaces or adds
std::string join_path(std::string_view dir, std::string_view name);       // one backslash between
std::string add_backslash(std::string_view dir);    // "C:\A" -> "C:\A\"
std::string strip_backslash(std::string_view dir);  // "C:\A\" -> "C:\A"; "C:\" stays

}  // namespace qaro
