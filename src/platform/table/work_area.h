// Work areas: numbered slots (1..250) that each hold one open table under an alias, with its
// navigation state and at most one index, which is then the active order. One selected area.
// A run-wide switch hides records marked deleted from navigation, seeks, locates, sorts and
// key counts (GOTO still reaches them).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/dbf_table.h"
#include "platform/table/ntx_index.h"

namespace qaro {

class WorkArea {
public:
    explicit WorkArea(int number) : number_(number) {}
    ~WorkArea() { close(); }

    int number() const { return number_; }
    bool used() const { return table_ != nullptr; }
    const std::string& alias() const { return alias_; }
    DbfTable* table() { return table_.get(); }
    const std::string& error() const { return error_; }

    bool open(std::string_view path, std::string alias, bool shared, bool read_only);
    // Writes a changed index, closes the index and the table. The engine keeps no relations
    // between areas, so there are none to clear first.
    bool close();

    // --- navigation ---
    bool go_top();
    bool go_bottom();
    bool go_to(std::uint32_t recno);
    bool skip(long n = 1);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool found() const { return found_; }
    std::uint32_t recno() const { return table_ ? table_->recno() : 0; }
    std::uint32_t record_count() const { return table_ ? table_->record_count() : 0; }
    // Goes through the records from the top in the current order and stops on the first for
    // which `cond` is true (found() true), or at the end.
    bool locate(const std::function<bool(WorkArea&)>& cond);

    // --- fields (positions are 1-based; names ignore letter case) ---
    int field_pos(std::string_view name) const;
    bool has_field(std::string_view name) const { return field_pos(name) > 0; }
    Structure structure() const { return table_ ? table_->structure() : Structure(); }
    Value get(std::string_view name);   // NIL when there is no such field
    Value get(int pos);
    bool put(std::string_view name, const Value& v);
    bool put(int pos, const Value& v);

    // --- records ---
    bool append_blank();
    bool commit();
    bool delete_record();
    bool recall();
    bool deleted() const { return table_ && table_->deleted(); }
    bool pack();   // removes the records marked deleted
    bool zap();    // removes every record
    // Writes the visible records, sorted ascending on the named fields (stable: equal keys keep
    // their record order), to a new table `path` of the same structure. The table's own file
    // name sorts it in place.
    bool sort_to(std::string_view path, const std::vector<std::string>& fields);

    // --- index ---
    // Builds an index on `expression` (given as text; `fn`, when given, computes the same key
    // from the current record) into `path` and makes it the active order.
    bool create_index(std::string_view path, std::string expression, std::function<Value(WorkArea&)> fn = {});
    // Opens an existing index file as the active order.
    bool set_index(std::string_view path, std::function<Value(WorkArea&)> fn = {});
    bool close_index();
    NtxIndex* index() { return index_.get(); }
    // Positions on the first record whose key begins with `key` (a text may be shorter than the
    // key). Not found: end of file, or with `soft` the next key in order.
    bool seek(const Value& key, bool soft = false);
    // Keys in the active order (records in record order without an index), visible ones only.
    std::uint32_t key_count();

private:
    bool fail(std::string e) {
        error_ = std::move(e);
        return false;
    }
    bool visible();
    bool sync_key();
    bool position_index();
    bool settle(std::uint32_t recno);   // to a record (0: end), updating eof
    bool go_index(std::size_t i);

    int number_;
    std::string alias_;
    std::unique_ptr<DbfTable> table_;
    std::unique_ptr<NtxIndex> index_;
    std::string error_;
    bool eof_ = true;
    bool bof_ = true;
    bool found_ = false;
    // Index position of the current record (valid when ipos_ok_), and the key it had before
    // the first change of the record (key_saved_).
    std::size_t ipos_ = 0;
    bool ipos_ok_ = false;
    bool key_saved_ = false;
    std::string old_key_;
};

class WorkAreas {
public:
    static constexpr int kMaxAreas = 250;

    int selected() const { return selected_; }
    // Selects an area by number; 0 selects the lowest unused area.
    void select(int n);
    // Selects the area open under `alias`; false (selection unchanged) when there is none.
    bool select(std::string_view alias);
    WorkArea& current() { return *area(selected_); }
    WorkArea* area(int n);   // nullptr outside 1..kMaxAreas
    WorkArea* find(std::string_view alias);
    int lowest_unused();

    // Selects the lowest unused area and opens the table there under `alias` (letter case
    // ignored; an alias in use is refused). False and error() when it does not open.
    bool open(std::string_view path, std::string_view alias, bool shared, bool read_only = false);
    void close_all();
    const std::string& error() const { return error_; }

    bool hide_deleted() const { return hide_deleted_; }
    void set_hide_deleted(bool on) { hide_deleted_ = on; }
    // Whether opening a table would also open its compound index. Such indexes are never opened
    // by this engine; the setting is kept for the suite's start-up, which switches it off.
    bool auto_open_compound() const { return auto_open_; }
    void set_auto_open_compound(bool on) { auto_open_ = on; }

private:
    std::vector<std::unique_ptr<WorkArea>> areas_ = std::vector<std::unique_ptr<WorkArea>>(kMaxAreas + 1);
    int selected_ = 1;
    bool hide_deleted_ = false;
    bool auto_open_ = true;
    std::string error_;
};

// The run's work areas.
WorkAreas& work_areas();

}  // namespace qaro
