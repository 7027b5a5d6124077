// Builds archives in memory for the unpacker tests with libarchive's writer.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace qaro::test {

struct TestMember {
    std::string path;
    std::string data;
    enum Kind { File, Dir, Symlink, HardLink } kind = File;
    unsigned perm = 0644;
    std::time_t mtime = 0;      // 0: 2021-03-04 05:06:08 local time
    std::string link = {};      // Symlink / HardLink target
};

enum class ArchiveFormat { Zip, TarGz, Tar, SevenZip };

inline std::time_t local_time(int y, int mo, int d, int h, int mi, int s) {
    struct tm t {};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

inline std::string build_archive(ArchiveFormat format, const std::vector<TestMember>& members) {
    std::string bytes;
    struct archive* a = archive_write_new();
    switch (format) {
        case ArchiveFormat::Zip: archive_write_set_format_zip(a); break;
        case ArchiveFormat::Tar: archive_write_set_format_pax_restricted(a); break;
        case ArchiveFormat::TarGz:
            archive_write_set_format_pax_restricted(a);
            archive_write_add_filter_gzip(a);
            break;
        case ArchiveFormat::SevenZip: archive_write_set_format_7zip(a); break;
    }
    archive_write_set_bytes_in_last_block(a, 1);
    auto writer = [](struct archive*, void* out, const void* buf, size_t n) -> la_ssize_t {
        static_cast<std::string*>(out)->append(static_cast<const char*>(buf), n);
        return static_cast<la_ssize_t>(n);
    };
    if (archive_write_open(a, &bytes, nullptr, writer, nullptr) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(a));
    for (auto& m : members) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, m.path.c_str());
        archive_entry_set_mtime(e, m.mtime ? m.mtime : local_time(2021, 3, 4, 5, 6, 8), 0);
        switch (m.kind) {
            case TestMember::File:
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_size(e, static_cast<la_int64_t>(m.data.size()));
                break;
            case TestMember::Dir: archive_entry_set_filetype(e, AE_IFDIR); break;
            case TestMember::Symlink:
                archive_entry_set_filetype(e, AE_IFLNK);
                archive_entry_set_symlink(e, m.link.c_str());
                break;
            case TestMember::HardLink:
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_hardlink(e, m.link.c_str());
                archive_entry_set_size(e, 0);
                break;
        }
        archive_entry_set_perm(e, m.kind == TestMember::Dir ? 0755 : m.perm);
        if (archive_write_header(a, e) < ARCHIVE_WARN) throw std::runtime_error(archive_error_string(a));
        if (m.kind == TestMember::File && !m.data.empty() &&
            archive_write_data(a, m.data.data(), m.data.size()) != static_cast<la_ssize_t>(m.data.size()))
            throw std::runtime_error(archive_error_string(a));
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return bytes;
}

}  // namespace qaro::test
