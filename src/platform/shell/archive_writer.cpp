#include "platform/shell/archive_writer.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace qaro::shell {

namespace {
struct WriterDeleter {
    void operator()(struct archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
    void operator()(struct archive_entry* e) const { archive_entry_free(e); }
};

std::time_t to_time(const FileTime& t) {
    int y, m, d;
    t.date.ymd(y, m, d);
    struct tm tmv {};
    tmv.tm_year = y - 1900;
    tmv.tm_mon = m - 1;
    tmv.tm_mday = d;
    tmv.tm_hour = t.seconds / 3600;
    tmv.tm_min = t.seconds / 60 % 60;
    tmv.tm_sec = t.seconds % 60;
    tmv.tm_isdst = -1;
    return std::mktime(&tmv);
}
}  // namespace

bool write_zip(std::string_view path, const std::vector<ArchiveInput>& members, std::string* error) {
    std::unique_ptr<struct archive, WriterDeleter> a(archive_write_new());
    archive_write_set_format_zip(a.get());
    std::size_t capacity = 4096;
    for (auto& m : members) capacity += m.bytes.size() + m.path.size() + 512;
    std::string buf(capacity, '\0');
    std::size_t used = 0;
    if (archive_write_open_memory(a.get(), buf.data(), buf.size(), &used) != ARCHIVE_OK) {
        if (error) *error = archive_error_string(a.get());
        return false;
    }
    for (auto& m : members) {
        std::unique_ptr<struct archive_entry, EntryDeleter> e(archive_entry_new());
        std::string name = m.path;
        std::replace(name.begin(), name.end(), '\\', '/');
        archive_entry_set_pathname(e.get(), name.c_str());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), m.read_only ? 0444 : 0644);
        archive_entry_set_size(e.get(), static_cast<la_int64_t>(m.bytes.size()));
        archive_entry_set_mtime(e.get(), m.time.date.empty() ? std::time(nullptr) : to_time(m.time), 0);
        if (archive_write_header(a.get(), e.get()) != ARCHIVE_OK ||
            archive_write_data(a.get(), m.bytes.data(), m.bytes.size()) < 0) {
            if (error) *error = std::string(m.path) + ": " + archive_error_string(a.get());
            return false;
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK) {
        if (error) *error = archive_error_string(a.get());
        return false;
    }
    buf.resize(used);
    if (!fs().write_atomic(path, buf)) {
        if (error) *error = std::string(path) + ": cannot be written (error " + std::to_string(fs().last_error()) + ")";
        return false;
    }
    return true;
}

}  // namespace qaro::shell
