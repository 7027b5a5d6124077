// Reads the members of an archive file (ZIP, 7z, RAR, tar with or without gzip/bzip2/xz, cab,
// lha, cpio), whatever its file name, through the emulated file system. The only place that
// talks to libarchive.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

struct archive;

namespace qaro::shell {

struct ArchiveMember {
    enum class Kind { File, Directory, HardLink, Other };
    std::string path;          // as stored: bytes, '/' or '\' separators
    Kind kind = Kind::File;
    std::string link_target;   // Kind::HardLink: the member it repeats
    std::optional<std::time_t> mtime;
    bool read_only = false;    // no owner write permission (DOS read-only attribute)
    bool encrypted = false;
};

class ArchiveReader {
public:
    ArchiveReader();
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens a DOS path; false when the file cannot be read or is no archive we know.
    bool open(std::string_view dos_path);

    enum class Next {
        Member,   // `m` describes the next member; its data may be read
        End,      // no more members
        Broken,   // this header is damaged; the next one may still be read
        Fatal     // the archive cannot be read any further
    };
    Next next(ArchiveMember& m);
    // Data of the current member: bytes read, 0 at its end, -1 on a damaged or unreadable member.
    long long read(void* buf, std::size_t n);

    const std::string& error() const { return error_; }   // text of the last failure

private:
    static long long read_cb(struct archive*, void* self, const void** buf);
    static std::int64_t skip_cb(struct archive*, void* self, std::int64_t request);
    static std::int64_t seek_cb(struct archive*, void* self, std::int64_t offset, int whence);
    void take_error();

    struct archive* a_ = nullptr;
    std::unique_ptr<File> file_;
    std::uint64_t size_ = 0;
    std::string buf_;
    std::string error_;
};

}  // namespace qaro::shell
