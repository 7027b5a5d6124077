#include "platform/table/work_area.h"

#include <algorithm>

#include "platform/table/key_expression.h"

namespace qaro {

WorkAreas& work_areas() {
    static WorkAreas w;
    return w;
}

// ---------------------------------------------------------------- WorkArea

bool WorkArea::open(std::string_view path, std::string alias, bool shared, bool read_only) {
    close();
    std::string err;
    table_ = DbfTable::open(path, {shared, read_only}, err);
    if (!table_) return fail(err);
    alias_ = std::move(alias);
    error_.clear();
    return go_top();
}

bool WorkArea::close() {
    if (!table_) return true;
    bool good = close_index();
    good = table_->close() && good;
    if (!good && error_.empty()) error_ = table_->error();
    table_.reset();
    alias_.clear();
    eof_ = bof_ = true;
    found_ = false;
    return good;
}

bool WorkArea::visible() { return !(work_areas().hide_deleted() && table_->deleted()); }

bool WorkArea::sync_key() {
    if (!index_ || !key_saved_) return true;
    key_saved_ = false;
    if (table_->at_end()) return true;
    std::string k = index_->current_key(*table_);
    if (k != old_key_) {
        index_->remove(old_key_, table_->recno());
        index_->insert(k, table_->recno());
        ipos_ok_ = false;
    }
    return true;
}

bool WorkArea::position_index() {
    if (ipos_ok_) return true;
    if (table_->at_end()) {
        ipos_ = index_->size();
    } else {
        ipos_ = index_->find(index_->current_key(*table_), table_->recno());
    }
    ipos_ok_ = true;
    return true;
}

bool WorkArea::settle(std::uint32_t recno) {
    if (!table_->go(recno)) return fail(table_->error());
    eof_ = table_->at_end();
    return true;
}

bool WorkArea::go_index(std::size_t i) {
    ipos_ = i;
    ipos_ok_ = true;
    if (!table_->go(i < index_->size() ? index_->recno_at(i) : 0)) return fail(table_->error());
    eof_ = table_->at_end();
    return true;
}

bool WorkArea::go_top() {
    if (!table_) return fail("no table in use");
    sync_key();
    bof_ = false;
    found_ = false;
    if (index_) {
        std::size_t i = 0;
        for (; i < index_->size(); ++i) {
            if (!table_->go(index_->recno_at(i))) return fail(table_->error());
            if (visible()) break;
        }
        if (!go_index(i)) return false;
    } else {
        std::uint32_t r = 1;
        for (; r <= table_->record_count(); ++r) {
            if (!table_->go(r)) return fail(table_->error());
            if (visible()) break;
        }
        if (!settle(r)) return false;
    }
    if (eof_) bof_ = true;
    return true;
}

bool WorkArea::go_bottom() {
    if (!table_) return fail("no table in use");
    sync_key();
    bof_ = false;
    found_ = false;
    if (index_) {
        std::size_t i = index_->size();
        while (i > 0) {
            if (!table_->go(index_->recno_at(i - 1))) return fail(table_->error());
            if (visible()) break;
            --i;
        }
        if (!go_index(i == 0 ? index_->size() : i - 1)) return false;
    } else {
        std::uint32_t r = table_->record_count();
        for (; r > 0; --r) {
            if (!table_->go(r)) return fail(table_->error());
            if (visible()) break;
        }
        if (!settle(r)) return false;
    }
    if (eof_) bof_ = true;
    return true;
}

bool WorkArea::go_to(std::uint32_t recno) {
    if (!table_) return fail("no table in use");
    sync_key();
    ipos_ok_ = false;
    bof_ = false;
    found_ = false;
    return settle(recno);
}

bool WorkArea::skip(long n) {
    if (!table_) return fail("no table in use");
    sync_key();
    bof_ = false;
    if (n == 0) return true;
    if (index_) {
        position_index();
        std::size_t i = ipos_;
        const std::size_t size = index_->size();
        for (long step = 0; step < (n > 0 ? n : -n); ++step) {
            if (n > 0) {
                if (i >= size) break;
                do {
                    ++i;
                    if (i >= size) break;
                    if (!table_->go(index_->recno_at(i))) return fail(table_->error());
                } while (!visible());
                if (i >= size) break;
            } else {
                std::size_t j = i;
                bool moved = false;
                while (j > 0) {
                    --j;
                    if (!table_->go(index_->recno_at(j))) return fail(table_->error());
                    if (visible()) {
                        moved = true;
                        break;
                    }
                }
                if (!moved) {
                    bof_ = true;
                    break;
                }
                i = j;
            }
        }
        if (bof_) {
            bool b = true;
            if (!go_top()) return false;
            bof_ = b;
            return true;
        }
        return go_index(i);
    }
    std::uint32_t r = table_->recno();
    const std::uint32_t count = table_->record_count();
    for (long step = 0; step < (n > 0 ? n : -n); ++step) {
        if (n > 0) {
            if (r > count) break;
            do {
                ++r;
                if (r > count) break;
                if (!table_->go(r)) return fail(table_->error());
            } while (!visible());
        } else {
            std::uint32_t j = std::min(r, count + 1);
            bool moved = false;
            while (j > 1) {
                --j;
                if (!table_->go(j)) return fail(table_->error());
                if (visible()) {
                    moved = true;
                    break;
                }
            }
            if (!moved) {
                if (!go_top()) return false;
                bof_ = true;
                return true;
            }
            r = j;
        }
    }
    return settle(r);
}

bool WorkArea::locate(const std::function<bool(WorkArea&)>& cond) {
    if (!go_top()) return false;
    while (!eof_) {
        if (cond(*this)) {
            found_ = true;
            return true;
        }
        if (!skip(1)) return false;
    }
    found_ = false;
    return true;
}

// ---------------------------------------------------------------- fields

int WorkArea::field_pos(std::string_view name) const {
    return table_ ? field_position(table_->structure(), name) : 0;
}

Value WorkArea::get(int pos) {
    if (!table_ || pos < 1 || pos > static_cast<int>(table_->structure().size())) return Value();
    return table_->get(pos - 1);
}

Value WorkArea::get(std::string_view name) { return get(field_pos(name)); }

bool WorkArea::put(int pos, const Value& v) {
    if (!table_) return fail("no table in use");
    if (pos < 1 || pos > static_cast<int>(table_->structure().size())) return fail("no such field");
    if (index_ && !key_saved_ && !table_->at_end()) {
        old_key_ = index_->current_key(*table_);
        key_saved_ = true;
    }
    if (!table_->put(pos - 1, v)) {
        return fail(table_->error().empty() ? "the value does not suit field " + table_->structure()[static_cast<std::size_t>(pos - 1)].name
                                            : table_->error());
    }
    return true;
}

bool WorkArea::put(std::string_view name, const Value& v) {
    int pos = field_pos(name);
    if (pos == 0) return fail("no field " + std::string(name));
    return put(pos, v);
}

// ---------------------------------------------------------------- records

bool WorkArea::append_blank() {
    if (!table_) return fail("no table in use");
    sync_key();
    if (!table_->append_blank()) return fail(table_->error());
    eof_ = bof_ = false;
    if (index_) {
        std::string k = index_->current_key(*table_);
        index_->insert(k, table_->recno());
        old_key_ = k;
        key_saved_ = true;
        ipos_ok_ = false;
    }
    return true;
}

bool WorkArea::commit() {
    if (!table_) return fail("no table in use");
    sync_key();
    if (!table_->commit()) return fail(table_->error());
    if (index_) {
        std::string err;
        if (!index_->save(err)) return fail(err);
    }
    return true;
}

bool WorkArea::delete_record() {
    if (!table_) return fail("no table in use");
    return table_->set_deleted(true) || fail(table_->error());
}

bool WorkArea::recall() {
    if (!table_) return fail("no table in use");
    return table_->set_deleted(false) || fail(table_->error());
}

namespace {
std::string index_path_of(NtxIndex* x) { return x ? x->path() : std::string(); }
}  // namespace

bool WorkArea::pack() {
    if (!table_) return fail("no table in use");
    sync_key();
    std::vector<std::uint32_t> keep;
    for (std::uint32_t r = 1; r <= table_->record_count(); ++r) {
        if (!table_->go(r)) return fail(table_->error());
        if (!table_->deleted()) keep.push_back(r);
    }
    std::string ix = index_path_of(index_.get());
    std::string expr = index_ ? index_->expression() : std::string();
    if (!table_->rewrite(keep)) return fail(table_->error());
    if (!ix.empty()) {
        index_.reset();
        if (!create_index(ix, expr)) return false;
    }
    return go_top();
}

bool WorkArea::zap() {
    if (!table_) return fail("no table in use");
    sync_key();
    std::string ix = index_path_of(index_.get());
    std::string expr = index_ ? index_->expression() : std::string();
    if (!table_->zap()) return fail(table_->error());
    if (!ix.empty()) {
        index_.reset();
        if (!create_index(ix, expr)) return false;
    }
    return go_top();
}

bool WorkArea::sort_to(std::string_view path, const std::vector<std::string>& names) {
    if (!table_) return fail("no table in use");
    sync_key();
    const Structure& s = table_->structure();
    std::vector<int> cols;
    for (const auto& n : names) {
        int p = field_position(s, n);
        if (p == 0) return fail("no field " + n + " to sort on");
        if (s[static_cast<std::size_t>(p - 1)].type == 'M') return fail("cannot sort on the memo field " + n);
        cols.push_back(p - 1);
    }
    // Keys of the visible records in record order; the stable sort keeps that order for ties.
    std::vector<std::pair<std::string, std::uint32_t>> keys;
    for (std::uint32_t r = 1; r <= table_->record_count(); ++r) {
        if (!table_->go(r)) return fail(table_->error());
        if (!visible()) continue;
        std::string k;
        for (int c : cols) {
            const FieldDef& f = s[static_cast<std::size_t>(c)];
            if (f.type == 'C')
                k.append(table_->record_bytes() + table_->field_offset(c), static_cast<std::size_t>(f.width));
            else
                k += key_bytes(table_->get(c), f.width, f.decimals);
        }
        keys.emplace_back(std::move(k), r);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint32_t> order;
    order.reserve(keys.size());
    for (auto& k : keys) order.push_back(k.second);
    keys.clear();
    keys.shrink_to_fit();

    std::string target(path);
    if (extension_of(target).empty()) target += ".DBF";
    if (upper(fs().full_path(target)) == upper(fs().full_path(table_->path()))) {
        std::string ix = index_path_of(index_.get());
        std::string expr = index_ ? index_->expression() : std::string();
        if (!table_->rewrite(order)) return fail(table_->error());
        if (!ix.empty()) {
            index_.reset();
            if (!create_index(ix, expr)) return false;
        }
        return go_top();
    }
    std::string err;
    if (!DbfTable::create(target, s, err)) return fail(err);
    auto out = DbfTable::open(target, {false, false}, err);
    if (!out) return fail(err);
    for (std::uint32_t r : order) {
        if (!table_->go(r)) return fail(table_->error());
        if (!out->append_blank() || !out->set_record_bytes(table_->record_bytes())) return fail(out->error());
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i].type != 'M') continue;
            auto text = table_->memo_text(table_->memo_block(static_cast<int>(i)));
            if (text && !text->empty() && !out->put(static_cast<int>(i), Value(*text))) return fail(out->error());
        }
    }
    if (!out->close()) return fail(out->error());
    return go_top();
}

// ---------------------------------------------------------------- index

bool WorkArea::create_index(std::string_view path, std::string expression, std::function<Value(WorkArea&)> fn) {
    if (!table_) return fail("no table in use");
    sync_key();
    if (!close_index()) return false;
    KeyFunction kf;
    if (fn) kf = [this, fn](DbfTable&) { return fn(*this); };
    std::string err;
    index_ = NtxIndex::create(*table_, path, std::move(expression), std::move(kf), err);
    if (!index_) return fail(err);
    ipos_ok_ = false;
    return go_top();
}

bool WorkArea::set_index(std::string_view path, std::function<Value(WorkArea&)> fn) {
    if (!table_) return fail("no table in use");
    sync_key();
    if (!close_index()) return false;
    KeyFunction kf;
    if (fn) kf = [this, fn](DbfTable&) { return fn(*this); };
    std::string err;
    index_ = NtxIndex::open(*table_, path, std::move(kf), err);
    if (!index_) return fail(err);
    ipos_ok_ = false;
    return go_top();
}

bool WorkArea::close_index() {
    if (!index_) return true;
    sync_key();
    std::string err;
    bool good = index_->save(err);
    index_.reset();
    key_saved_ = false;
    ipos_ok_ = false;
    return good || fail(err);
}

bool WorkArea::seek(const Value& key, bool soft) {
    if (!table_) return fail("no table in use");
    if (!index_) return fail("seek needs an index");
    sync_key();
    bof_ = false;
    std::string want = index_->search_bytes(key);
    std::size_t i = index_->lower_bound(want);
    for (; i < index_->size(); ++i) {
        if (!table_->go(index_->recno_at(i))) return fail(table_->error());
        if (visible()) break;
    }
    found_ = i < index_->size() && index_->key_at(i).substr(0, want.size()) == want;
    if (!found_ && !soft) i = index_->size();
    return go_index(i);
}

std::uint32_t WorkArea::key_count() {
    if (!table_) return 0;
    sync_key();
    const bool hide = work_areas().hide_deleted();
    if (!hide) return index_ ? static_cast<std::uint32_t>(index_->size()) : table_->record_count();
    std::uint32_t here = table_->recno();
    std::uint32_t n = 0;
    for (std::uint32_t r = 1; r <= table_->record_count(); ++r) {
        if (!table_->go(r)) break;
        if (!table_->deleted()) ++n;
    }
    table_->go(here);
    return n;
}

// ---------------------------------------------------------------- WorkAreas

WorkArea* WorkAreas::area(int n) {
    if (n < 1 || n > kMaxAreas) return nullptr;
    auto& a = areas_[static_cast<std::size_t>(n)];
    if (!a) a = std::make_unique<WorkArea>(n);
    return a.get();
}

int WorkAreas::lowest_unused() {
    for (int n = 1; n <= kMaxAreas; ++n)
        if (!area(n)->used()) return n;
    return 0;
}

void WorkAreas::select(int n) {
    if (n == 0) n = lowest_unused();
    if (n >= 1 && n <= kMaxAreas) selected_ = n;
}

WorkArea* WorkAreas::find(std::string_view alias) {
    std::string a = alltrim(alias);
    if (a.empty()) return nullptr;
    for (int n = 1; n <= kMaxAreas; ++n) {
        auto& w = areas_[static_cast<std::size_t>(n)];
        if (w && w->used() && equal_nocase(w->alias(), a)) return w.get();
    }
    return nullptr;
}

bool WorkAreas::select(std::string_view alias) {
    WorkArea* w = find(alias);
    if (!w) return false;
    selected_ = w->number();
    return true;
}

bool WorkAreas::open(std::string_view path, std::string_view alias, bool shared, bool read_only) {
    std::string a = upper(alltrim(alias));
    int n = lowest_unused();
    if (n == 0) {
        error_ = "no free work area";
        return false;
    }
    selected_ = n;
    if (a.empty()) {
        error_ = "no alias";
        return false;
    }
    if (find(a)) {
        error_ = "alias " + a + " is already in use";
        return false;
    }
    WorkArea* w = area(n);
    if (!w->open(path, a, shared, read_only)) {
        error_ = w->error();
        return false;
    }
    error_.clear();
    return true;
}

void WorkAreas::close_all() {
    for (int n = 1; n <= kMaxAreas; ++n) {
        auto& w = areas_[static_cast<std::size_t>(n)];
        if (w) w->close();
    }
    selected_ = 1;
}

}  // namespace qaro
