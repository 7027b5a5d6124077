#include "platform/byte_order.h"
#include "platform/table/ntx_index.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>

namespace qaro {

namespace {

using le::get_u16;
using le::get_u32;
using le::put_u16;
using le::put_u32;

// Items per page as Clipper lays them out: the offsets table and one more item (the rightmost
// child) must fit, and the count is even.
std::uint32_t max_items(std::uint32_t item_size) {
    std::uint32_t m = static_cast<std::uint32_t>(1022 / (item_size + 2)) - 1;
    return m & ~1u;
}

}  // namespace

std::string NtxIndex::layout(const Value& v) const {
    std::string k = key_bytes(v, number_width_, decimals_);
    k.resize(static_cast<std::size_t>(key_size_), ' ');
    return k;
}

std::string NtxIndex::current_key(DbfTable& t) const { return layout(fn_(t)); }

std::string NtxIndex::search_bytes(const Value& v) const {
    if (v.is_text()) return v.text().substr(0, static_cast<std::size_t>(key_size_));
    return layout(v);
}

bool NtxIndex::less(std::size_t i, std::string_view key, std::uint32_t recno) const {
    int c = std::memcmp(keys_.data() + i * static_cast<std::size_t>(key_size_), key.data(), static_cast<std::size_t>(key_size_));
    return c < 0 || (c == 0 && recs_[i] < recno);
}

std::size_t NtxIndex::lower_bound(std::string_view prefix) const {
    std::size_t lo = 0, hi = recs_.size();
    std::size_t n = std::min(prefix.size(), static_cast<std::size_t>(key_size_));
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (std::memcmp(keys_.data() + mid * static_cast<std::size_t>(key_size_), prefix.data(), n) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::size_t NtxIndex::position_of(std::string_view key, std::uint32_t recno) const {
    std::size_t lo = 0, hi = recs_.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (less(mid, key, recno))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::size_t NtxIndex::find(std::string_view key, std::uint32_t recno) const {
    std::size_t lo = position_of(key, recno);
    if (lo < recs_.size() && recs_[lo] == recno && key_at(lo) == key) return lo;
    return recs_.size();
}

void NtxIndex::insert(std::string_view key, std::uint32_t recno) {
    std::size_t lo = position_of(key, recno);
    keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(lo * static_cast<std::size_t>(key_size_)), key.begin(), key.end());
    recs_.insert(recs_.begin() + static_cast<std::ptrdiff_t>(lo), recno);
    dirty_ = true;
}

void NtxIndex::remove(std::string_view key, std::uint32_t recno) {
    std::size_t i = find(key, recno);
    if (i == recs_.size()) return;
    auto at = keys_.begin() + static_cast<std::ptrdiff_t>(i * static_cast<std::size_t>(key_size_));
    keys_.erase(at, at + key_size_);
    recs_.erase(recs_.begin() + static_cast<std::ptrdiff_t>(i));
    dirty_ = true;
}

bool NtxIndex::build(DbfTable& t, std::string& error) {
    const std::uint32_t n = t.record_count();
    std::vector<char> raw(static_cast<std::size_t>(n) * static_cast<std::size_t>(key_size_));
    for (std::uint32_t r = 1; r <= n; ++r) {
        if (!t.go(r)) {
            error = t.error();
            return false;
        }
        std::string k = current_key(t);
        std::memcpy(raw.data() + (r - 1) * static_cast<std::size_t>(key_size_), k.data(), static_cast<std::size_t>(key_size_));
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    const std::size_t ks = static_cast<std::size_t>(key_size_);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        int c = std::memcmp(raw.data() + a * ks, raw.data() + b * ks, ks);
        return c < 0 || (c == 0 && a < b);
    });
    keys_.resize(raw.size());
    recs_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::memcpy(keys_.data() + i * ks, raw.data() + order[i] * ks, ks);
        recs_[i] = order[i] + 1;
    }
    dirty_ = true;
    return true;
}

std::unique_ptr<NtxIndex> NtxIndex::create(DbfTable& t, std::string_view path, std::string expression, KeyFunction fn,
                                           std::string& error) {
    std::unique_ptr<NtxIndex> x(new NtxIndex());
    x->path_ = std::string(path);
    if (extension_of(x->path_).empty()) x->path_ += ".NTX";
    x->expression_ = std::move(expression);
    CompiledKey ck = compile_key(x->expression_, t.structure());
    if (fn) {
        x->fn_ = std::move(fn);
    } else if (ck.fn) {
        x->fn_ = ck.fn;
    } else {
        error = x->path_ + ": key expression \"" + x->expression_ + "\": " + ck.error;
        return nullptr;
    }
    if (ck.fn) {
        x->number_width_ = ck.number_width;
        x->decimals_ = ck.number_decimals;
    }
    // The key's type and size come from the blank record, as xBase lays out an index.
    t.go(0);
    Value probe = x->fn_(t);
    if (probe.is_text() && probe.text().empty() && t.record_count() > 0) {
        t.go(1);
        probe = x->fn_(t);
    }
    x->key_type_ = type_letter(probe.type());
    if (probe.is_nil() || probe.is_array()) {
        error = x->path_ + ": the key expression gives no text, number, date or logical value";
        return nullptr;
    }
    if (!probe.is_number()) x->decimals_ = 0;
    std::size_t size = key_bytes(probe, x->number_width_, x->decimals_).size();
    if (size == 0) size = 1;
    if (size > static_cast<std::size_t>(kMaxKey)) {
        error = x->path_ + ": the key is longer than " + std::to_string(kMaxKey) + " bytes";
        return nullptr;
    }
    x->key_size_ = static_cast<int>(size);
    if (!x->build(t, error) || !x->save(error)) return nullptr;
    return x;
}

std::unique_ptr<NtxIndex> NtxIndex::open(DbfTable& t, std::string_view path, KeyFunction fn, std::string& error) {
    std::string p(path);
    if (extension_of(p).empty()) p += ".NTX";
    auto f = fs().open(p, OpenMode::Read);
    if (!f) {
        error = p + ": no such index file";
        return nullptr;
    }
    auto fsize = f->size();
    unsigned char h[kPage];
    if (!fsize || *fsize < 2 * kPage || !f->read_at(0, h, kPage) || get_u16(h) != 6) {
        error = p + ": not an index file";
        return nullptr;
    }
    std::unique_ptr<NtxIndex> x(new NtxIndex());
    x->path_ = p;
    std::uint32_t root = get_u32(h + 4);
    std::uint32_t item = get_u16(h + 12);
    x->key_size_ = static_cast<int>(get_u16(h + 14));
    x->decimals_ = static_cast<int>(get_u16(h + 16));
    std::uint32_t maxi = get_u16(h + 18);
    std::size_t elen = 0;
    while (elen < 256 && h[22 + elen]) ++elen;
    x->expression_ = std::string(reinterpret_cast<char*>(h + 22), elen);
    if (x->key_size_ < 1 || x->key_size_ > 256 || item != static_cast<std::uint32_t>(x->key_size_) + 8 || maxi < 2 ||
        2 + 2 * (maxi + 1) > kPage) {
        error = p + ": damaged index header";
        return nullptr;
    }
    CompiledKey ck = compile_key(x->expression_, t.structure());
    if (fn)
        x->fn_ = std::move(fn);
    else if (ck.fn)
        x->fn_ = ck.fn;
    else {
        error = p + ": key expression \"" + x->expression_ + "\": " + ck.error;
        return nullptr;
    }
    if (ck.fn) x->number_width_ = ck.number_width;
    if (ck.fn && x->number_width_ != x->key_size_) x->number_width_ = x->key_size_;

    // Walk the pages in key order, refusing offsets outside the file, loops and deep trees.
    const std::uint64_t pages = *fsize / kPage;
    std::uint64_t visited = 0;
    bool damaged = false;
    const std::size_t ks = static_cast<std::size_t>(x->key_size_);
    std::function<void(std::uint32_t, int)> walk = [&](std::uint32_t off, int depth) {
        if (damaged) return;
        if (depth > 64 || off < kPage || off % kPage != 0 || off / kPage >= pages || ++visited > pages) {
            damaged = true;
            return;
        }
        std::vector<unsigned char> pg(kPage);
        if (!f->read_at(off, pg.data(), kPage) || get_u16(pg.data()) > maxi) {
            damaged = true;
            return;
        }
        std::uint32_t count = get_u16(pg.data());
        for (std::uint32_t s = 0; s <= count && !damaged; ++s) {
            std::uint32_t io = get_u16(pg.data() + 2 + 2 * s);
            if (io + item > kPage) {
                damaged = true;
                return;
            }
            const unsigned char* it = pg.data() + io;
            if (std::uint32_t child = get_u32(it)) walk(child, depth + 1);
            if (s < count) {
                x->keys_.insert(x->keys_.end(), it + 8, it + 8 + ks);
                x->recs_.push_back(get_u32(it + 4));
            }
        }
    };
    walk(root, 0);
    f->close();
    if (damaged) {
        error = p + ": damaged index pages";
        return nullptr;
    }
    // Keys must be sorted and cover the table's records once; otherwise build the index anew.
    bool good = x->recs_.size() == t.record_count();
    for (std::size_t i = 0; good && i < x->recs_.size(); ++i) {
        if (x->recs_[i] == 0 || x->recs_[i] > t.record_count()) good = false;
        if (good && i > 0 && x->less(i, x->key_at(i - 1), x->recs_[i - 1])) good = false;
    }
    if (!good) {
        x->keys_.clear();
        x->recs_.clear();
        if (!x->build(t, error)) return nullptr;
    }
    return x;
}

bool NtxIndex::save(std::string& error) {
    if (!dirty_) return true;
    if (!write(error)) return false;
    dirty_ = false;
    return true;
}

bool NtxIndex::write(std::string& error) {
    const std::uint32_t ks = static_cast<std::uint32_t>(key_size_);
    const std::uint32_t item = ks + 8;
    const std::uint32_t m = max_items(item);
    const std::uint32_t slots_at = 2 + 2 * (m + 1);
    std::string tmp = fs().temp_name_beside(path_);
    auto f = fs().create(tmp);
    if (!f) {
        error = tmp + ": cannot create the index file";
        return false;
    }
    std::vector<unsigned char> out;
    out.reserve(256 * kPage);
    out.resize(kPage, 0);   // header page, filled at the end
    std::uint32_t next_page = 1;
    bool io_ok = true;
    auto flush_out = [&](bool all) {
        if (out.size() >= 256 * kPage || (all && !out.empty())) {
            std::uint64_t at = static_cast<std::uint64_t>(next_page) * kPage - out.size();
            io_ok = io_ok && f->write_at(at, out.data(), out.size());
            out.clear();
        }
    };
    out.clear();
    // Page numbers advance as pages are added; the buffer holds the tail pages not yet written.
    auto emit_page = [&](const std::vector<std::pair<std::uint32_t, std::uint32_t>>& items, std::size_t a,
                         std::size_t k, std::uint32_t right) {
        std::size_t base = out.size();
        out.resize(base + kPage, 0);
        unsigned char* pg = out.data() + base;
        put_u16(pg, static_cast<std::uint32_t>(k));
        for (std::uint32_t j = 0; j <= m; ++j) put_u16(pg + 2 + 2 * j, slots_at + j * item);
        for (std::size_t j = 0; j < k; ++j) {
            unsigned char* it = pg + slots_at + j * item;
            auto [entry, child] = items[a + j];
            put_u32(it, child);
            put_u32(it + 4, recs_[entry]);
            std::memcpy(it + 8, keys_.data() + static_cast<std::size_t>(entry) * ks, ks);
        }
        put_u32(pg + slots_at + k * item, right);
        std::uint32_t off = next_page * static_cast<std::uint32_t>(kPage);
        ++next_page;
        flush_out(false);
        return off;
    };
    // Level by level from the leaves: each page takes up to m items, the item after it goes up
    // as a separator pointing at the page.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> level(recs_.size());
    for (std::size_t i = 0; i < recs_.size(); ++i) level[i] = {static_cast<std::uint32_t>(i), 0u};
    std::uint32_t right = 0;
    std::uint32_t root = 0;
    for (;;) {
        if (level.size() <= m) {
            root = emit_page(level, 0, level.size(), right);
            break;
        }
        std::vector<std::pair<std::uint32_t, std::uint32_t>> up;
        std::size_t a = 0;
        while (level.size() - a > m) {
            std::size_t k = (level.size() - a == m + 1) ? m - 1 : m;
            std::uint32_t page_right = level[a + k].second;
            std::uint32_t off = emit_page(level, a, k, page_right);
            up.push_back({level[a + k].first, off});
            a += k + 1;
        }
        right = emit_page(level, a, level.size() - a, right);
        level.swap(up);
    }
    flush_out(true);
    unsigned char h[kPage] = {};
    put_u16(h, 6);
    put_u16(h + 2, 1);
    put_u32(h + 4, root);
    put_u32(h + 8, 0);
    put_u16(h + 12, item);
    put_u16(h + 14, ks);
    put_u16(h + 16, static_cast<std::uint32_t>(key_type_ == 'N' ? decimals_ : 0));
    put_u16(h + 18, m);
    put_u16(h + 20, m / 2);
    std::memcpy(h + 22, expression_.data(), std::min<std::size_t>(expression_.size(), 255));
    io_ok = io_ok && f->write_at(0, h, kPage) && f->flush();
    bool closed = f->close();
    if (!io_ok || !closed || !fs().replace(tmp, path_)) {
        fs().remove_file(tmp);
        error = path_ + ": cannot write the index file";
        return false;
    }
    return true;
}

}  // namespace qaro
