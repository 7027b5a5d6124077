#include "platform/shell/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>

namespace qaro::shell {

namespace {
constexpr std::size_t kBlock = 1 << 16;
}

ArchiveReader::ArchiveReader() : buf_(kBlock, '\0') {}

ArchiveReader::~ArchiveReader() {
    if (a_) archive_read_free(a_);
}

void ArchiveReader::take_error() {
    const char* e = a_ ? archive_error_string(a_) : nullptr;
    error_ = e ? e : "archive error";
}

long long ArchiveReader::read_cb(struct archive*, void* self, const void** buf) {
    auto* r = static_cast<ArchiveReader*>(self);
    auto n = r->file_->read(r->buf_.data(), r->buf_.size());
    *buf = r->buf_.data();
    return n < 0 ? ARCHIVE_FATAL : n;
}

std::int64_t ArchiveReader::skip_cb(struct archive*, void* self, std::int64_t request) {
    auto* r = static_cast<ArchiveReader*>(self);
    std::uint64_t pos = r->file_->tell();
    if (request <= 0 || pos >= r->size_) return 0;
    std::uint64_t step = std::min<std::uint64_t>(static_cast<std::uint64_t>(request), r->size_ - pos);
    if (!r->file_->seek(pos + step)) return 0;
    return static_cast<std::int64_t>(step);
}

std::int64_t ArchiveReader::seek_cb(struct archive*, void* self, std::int64_t offset, int whence) {
    auto* r = static_cast<ArchiveReader*>(self);
    std::int64_t base = whence == SEEK_SET   ? 0
                        : whence == SEEK_CUR ? static_cast<std::int64_t>(r->file_->tell())
                                             : static_cast<std::int64_t>(r->size_);
    std::int64_t target = base + offset;
    if (target < 0 || !r->file_->seek(static_cast<std::uint64_t>(target))) return ARCHIVE_FATAL;
    return target;
}

bool ArchiveReader::open(std::string_view dos_path) {
    file_ = fs().open(dos_path, OpenMode::Read);
    if (!file_) {
        error_ = "cannot open the file";
        return false;
    }
    auto size = file_->size();
    if (!size) {
        error_ = "cannot read the file";
        return false;
    }
    size_ = *size;
    a_ = archive_read_new();
    // Formats are listed one by one: the catch-all would also accept mtree texts, whose entries
    // name host files to read.
    archive_read_support_format_zip(a_);
    archive_read_support_format_7zip(a_);
    archive_read_support_format_rar(a_);
    archive_read_support_format_rar5(a_);
    archive_read_support_format_tar(a_);
    archive_read_support_format_cab(a_);
    archive_read_support_format_lha(a_);
    archive_read_support_format_cpio(a_);
    archive_read_support_filter_gzip(a_);
    archive_read_support_filter_bzip2(a_);
    archive_read_support_filter_xz(a_);
    archive_read_support_filter_lzma(a_);
    archive_read_set_callback_data(a_, this);
    archive_read_set_read_callback(a_, [](struct archive* a, void* self, const void** buf) -> la_ssize_t {
        return static_cast<la_ssize_t>(read_cb(a, self, buf));
    });
    archive_read_set_skip_callback(a_, [](struct archive* a, void* self, la_int64_t request) -> la_int64_t {
        return skip_cb(a, self, request);
    });
    archive_read_set_seek_callback(a_, [](struct archive* a, void* self, la_int64_t offset, int whence) -> la_int64_t {
        return seek_cb(a, self, offset, whence);
    });
    if (archive_read_open1(a_) != ARCHIVE_OK) {
        take_error();
        return false;
    }
    return true;
}

ArchiveReader::Next ArchiveReader::next(ArchiveMember& m) {
    m = ArchiveMember{};
    struct archive_entry* e = nullptr;
    int rc;
    int retries = 0;
    do {
        rc = archive_read_next_header(a_, &e);
    } while (rc == ARCHIVE_RETRY && ++retries < 8);
    if (rc == ARCHIVE_EOF) return Next::End;
    if (rc == ARCHIVE_FATAL || rc == ARCHIVE_RETRY) {
        take_error();
        return Next::Fatal;
    }
    if (rc == ARCHIVE_FAILED) {
        take_error();
        return Next::Broken;
    }
    const char* p = archive_entry_pathname(e);
    if (!p) p = archive_entry_pathname_utf8(e);
    m.path = p ? p : "";
    if (const char* h = archive_entry_hardlink(e)) {
        m.kind = ArchiveMember::Kind::HardLink;
        m.link_target = h;
    } else {
        auto type = archive_entry_filetype(e);
        m.kind = type == AE_IFREG   ? ArchiveMember::Kind::File
                 : type == AE_IFDIR ? ArchiveMember::Kind::Directory
                                    : ArchiveMember::Kind::Other;
    }
    if (archive_entry_mtime_is_set(e)) m.mtime = archive_entry_mtime(e);
    m.read_only = (archive_entry_perm(e) & 0200) == 0;
    m.encrypted = archive_entry_is_encrypted(e) != 0;
    return Next::Member;
}

long long ArchiveReader::read(void* buf, std::size_t n) {
    auto r = archive_read_data(a_, buf, n);
    if (r < 0) {
        take_error();
        return -1;
    }
    return r;
}

}  // namespace qaro::shell
