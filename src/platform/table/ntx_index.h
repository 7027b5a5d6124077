// A single-key index file (.ntx) over a table: Clipper's NTX page layout (1024-byte pages, header
// page with the key expression text), held in memory as a sorted array of (key, record number)
// while it is open and written back through a temporary file when it changed.
// Keys order by their bytes, equal keys by record number; deleted records keep their keys.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/dbf_table.h"
#include "platform/table/key_expression.h"

namespace qaro {

class NtxIndex {
public:
    static constexpr std::size_t kPage = 1024;
    static constexpr int kMaxKey = 250;

    // Builds the index of every record of `t` and writes it to `path`. `fn` gives the key of the
    // current record; when empty, `expression` is compiled. The table's current record moves.
    static std::unique_ptr<NtxIndex> create(DbfTable& t, std::string_view path, std::string expression,
                                            KeyFunction fn, std::string& error);
    // Reads an index file. `fn` as above (empty: the stored expression is compiled). An index
    // whose keys do not match the table's records is rebuilt.
    static std::unique_ptr<NtxIndex> open(DbfTable& t, std::string_view path, KeyFunction fn, std::string& error);

    const std::string& path() const { return path_; }
    const std::string& expression() const { return expression_; }
    int key_size() const { return key_size_; }
    std::size_t size() const { return recs_.size(); }
    std::string_view key_at(std::size_t i) const {
        return std::string_view(keys_.data() + i * static_cast<std::size_t>(key_size_), static_cast<std::size_t>(key_size_));
    }
    std::uint32_t recno_at(std::size_t i) const { return recs_[i]; }

    // Key of the table's current record, laid out to the key size.
    std::string current_key(DbfTable& t) const;
    // Search bytes of a seek value: a text as given (a prefix, cut to the key size); other types
    // laid out like the keys.
    std::string search_bytes(const Value& v) const;
    // First position whose key, compared over the length of `prefix`, is not below it.
    std::size_t lower_bound(std::string_view prefix) const;
    // Position of (key, recno), or size() when absent.
    std::size_t find(std::string_view key, std::uint32_t recno) const;
    void insert(std::string_view key, std::uint32_t recno);
    void remove(std::string_view key, std::uint32_t recno);

    // Writes the file when it changed since it was read or written.
    bool save(std::string& error);
    bool dirty() const { return dirty_; }

private:
    NtxIndex() = default;
    std::string layout(const Value& v) const;
    bool build(DbfTable& t, std::string& error);
    bool write(std::string& error);
    bool less(std::size_t i, std::string_view key, std::uint32_t recno) const;
    // Where (key, recno) stands or would stand in key order (equal keys by record number).
    std::size_t position_of(std::string_view key, std::uint32_t recno) const;

    std::string path_;
    std::string expression_;
    KeyFunction fn_;
    int key_size_ = 0;
    int decimals_ = 0;
    int number_width_ = 15;
    char key_type_ = 'C';
    std::vector<char> keys_;
    std::vector<std::uint32_t> recs_;
    bool dirty_ = false;
};

}  // namespace qaro
