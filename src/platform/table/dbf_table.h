// One open DBF table (dBASE III+ layout, memo fields in a .DBT) with a current record.
//
// Records are read and written through a window of consecutive records (about 256 KiB), so a
// pass over the table keeps memory flat whatever its size. Changes of the window are written
// when the current record leaves it, on flush() and on close(); every such write also brings the
// header's record count and date up to date and ends the file with 0x1A, so the file on disk is
// a complete table after each flush.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/table/memo_file.h"
#include "platform/table/structure.h"
#include "platform/value.h"

namespace qaro {

class DbfTable {
public:
    struct Options {
        bool shared = false;      // shared lock; otherwise exclusive
        bool read_only = false;
    };

    // Opens a table; a name without extension gets ".DBF". nullptr and `error` when the file is
    // missing, locked by another program, or not a readable table. A table whose header promises
    // more records than the file holds opens with the records really there, and warning() says so.
    static std::unique_ptr<DbfTable> open(std::string_view path, Options opt, std::string& error);

    // Creates an empty table (and its empty .DBT when the structure has memo fields). An existing
    // table of that name is replaced through a temporary file.
    static bool create(std::string_view path, Structure s, std::string& error);

    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    bool close();

    const std::string& path() const { return path_; }
    const Structure& structure() const { return fields_; }
    std::uint32_t record_count() const { return count_; }
    std::uint8_t version() const { return version_; }
    Date last_update() const { return last_update_; }
    std::uint32_t header_length() const { return header_len_; }
    std::uint32_t record_length() const { return rec_len_; }
    bool exclusive() const { return !shared_; }
    bool read_only() const { return read_only_; }
    bool has_memo() const { return memo_ != nullptr; }
    // Damage noticed when opening ("" when none).
    const std::string& warning() const { return warning_; }
    // The last failure of an operation ("" after success of the last failing-capable call).
    const std::string& error() const { return error_; }

    // Makes `recno` the current record. 0 or a number past the last record gives the blank record
    // after the end (recno() = record_count() + 1). False on a read error.
    bool go(std::uint32_t recno);
    std::uint32_t recno() const { return recno_; }
    bool at_end() const { return recno_ > count_; }

    // Field access by 0-based index of the structure.
    Value get(int i);
    // Stores a value of the field's type (see encode_field; a memo field takes a text). False for
    // another type, on the record after the end, in a read-only table or on a write error.
    bool put(int i, const Value& v, bool* overflow = nullptr);
    bool deleted() const { return cur_[0] == '*'; }
    bool set_deleted(bool d);
    // The current record's bytes (deletion flag first, record_length() bytes).
    const char* record_bytes() const { return cur_; }
    // Memo block number held by memo field i of the current record (0: none).
    std::uint32_t memo_block(int i) const;
    std::optional<std::string> memo_text(std::uint32_t block);

    // Overwrites the current record with `bytes` (record_length() bytes from another table of the
    // same structure); memo fields are left empty, for the caller to store their texts.
    bool set_record_bytes(const char* bytes);
    // Appends a blank record and makes it current.
    bool append_blank();
    // Writes pending changes and the header.
    bool flush();
    // flush() and then the data onto stable storage.
    bool commit();

    // Rewrites the table with the given records in the given order, through a temporary file that
    // replaces the table (pack, zap, sort in place). Memo pointers are kept as they are, so the
    // memo file is not touched. Exclusive opens only.
    bool rewrite(const std::vector<std::uint32_t>& recnos);
    // Removes every record; the memo file is replaced by an empty one. Exclusive opens only.
    bool zap();

    int field_offset(int i) const { return offsets_[static_cast<std::size_t>(i)]; }

private:
    DbfTable() = default;
    bool flush_window();
    bool write_header_counts();
    void mark_dirty();
    bool fail(std::string e) {
        error_ = std::move(e);
        return false;
    }

    std::string path_;
    std::unique_ptr<File> file_;
    std::unique_ptr<MemoFile> memo_;
    Structure fields_;
    std::vector<int> offsets_;
    std::uint8_t version_ = 3;
    Date last_update_;
    std::uint32_t count_ = 0;
    std::uint32_t header_len_ = 0;
    std::uint32_t rec_len_ = 0;
    bool shared_ = false;
    bool read_only_ = false;
    std::string warning_;
    std::string error_;

    // Record window: records win_first_ .. win_first_ + win_n_ - 1; dirty_lo_..dirty_hi_ (window
    // indexes, end exclusive) need writing.
    std::vector<char> win_;
    std::uint32_t cap_ = 1;
    std::uint32_t win_first_ = 0;
    std::uint32_t win_n_ = 0;
    std::uint32_t dirty_lo_ = 0;
    std::uint32_t dirty_hi_ = 0;
    bool header_dirty_ = false;
    std::uint32_t written_count_ = 0;   // record count as the header on disk says

    std::vector<char> blank_;
    char* cur_ = nullptr;
    std::uint32_t recno_ = 1;
};

}  // namespace qaro
