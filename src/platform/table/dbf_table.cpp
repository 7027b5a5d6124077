#include "platform/byte_order.h"
#include "platform/table/dbf_table.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/table/field_codec.h"

namespace qaro {

namespace {

constexpr std::size_t kWindowBytes = 256 * 1024;
constexpr char kEof = 0x1A;

using le::get_u16;
using le::get_u32;
using le::put_u16;
using le::put_u32;

void put_date(unsigned char* p, Date d) {
    int y = 0, m = 0, day = 0;
    d.ymd(y, m, day);
    p[0] = static_cast<unsigned char>(y >= 1900 ? (y - 1900) & 0xFF : 0);
    p[1] = static_cast<unsigned char>(m);
    p[2] = static_cast<unsigned char>(day);
}

std::string memo_path_of(std::string_view path) { return with_extension(path, ".DBT"); }

std::string table_path(std::string_view path) {
    std::string p(path);
    if (extension_of(p).empty()) p += ".DBF";
    return p;
}

// Header and field descriptors of a new table (record count 0).
std::string build_header(const Structure& s, bool memo) {
    std::uint32_t hlen = 32 + 32 * static_cast<std::uint32_t>(s.size()) + 2;
    std::uint32_t rlen = 1;
    for (const auto& f : s) rlen += static_cast<std::uint32_t>(f.width);
    std::string h(hlen, '\0');
    auto* p = reinterpret_cast<unsigned char*>(h.data());
    p[0] = memo ? 0x83 : 0x03;
    put_date(p + 1, today());
    put_u32(p + 4, 0);
    put_u16(p + 8, hlen);
    put_u16(p + 10, rlen);
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char* d = p + 32 + 32 * i;
        std::memcpy(d, s[i].name.data(), std::min<std::size_t>(s[i].name.size(), 10));
        d[11] = static_cast<unsigned char>(s[i].type);
        if (s[i].type == 'C' && s[i].width > 255) {
            d[16] = static_cast<unsigned char>(s[i].width & 0xFF);
            d[17] = static_cast<unsigned char>(s[i].width >> 8);
        } else {
            d[16] = static_cast<unsigned char>(s[i].width);
            d[17] = static_cast<unsigned char>(s[i].decimals);
        }
    }
    p[hlen - 2] = 0x0D;
    return h;
}

}  // namespace

std::unique_ptr<DbfTable> DbfTable::open(std::string_view path_in, Options opt, std::string& error) {
    std::string path = table_path(path_in);
    error.clear();
    auto f = fs().open(path, opt.read_only ? OpenMode::Read : OpenMode::ReadWrite);
    if (!f) {
        int e = fs().last_error();
        error = path + ": " + (e == doserr::kFileNotFound || e == doserr::kPathNotFound ? "no such table"
                               : e == doserr::kAccessDenied ? "access denied"
                                                              : "cannot open (DOS error " + std::to_string(e) + ")");
        return nullptr;
    }
    if (!f->lock(opt.shared ? LockMode::Shared : LockMode::Exclusive)) {
        error = path + ": the table is in use by another program";
        return nullptr;
    }
    auto size = f->size();
    unsigned char h[32];
    if (!size || *size < 32 || !f->read_at(0, h, 32)) {
        error = path + ": not a table (the file is shorter than a table header)";
        return nullptr;
    }
    std::unique_ptr<DbfTable> t(new DbfTable());
    t->path_ = path;
    t->shared_ = opt.shared;
    t->read_only_ = opt.read_only;
    t->version_ = h[0];
    if ((h[0] & 0x07) != 0x03) {
        char b[8];
        std::snprintf(b, sizeof b, "0x%02X", h[0]);
        error = path + ": not a dBASE III table (version byte " + b + ")";
        return nullptr;
    }
    int yy = h[1];
    t->last_update_ = Date::from_ymd(yy < 80 && yy > 0 ? 2000 + yy : 1900 + yy, h[2], h[3]);
    std::uint32_t hcount = get_u32(h + 4);
    t->header_len_ = get_u16(h + 8);
    t->rec_len_ = get_u16(h + 10);
    if (t->header_len_ < 33 || t->header_len_ > *size) {
        error = path + ": damaged header (header length " + std::to_string(t->header_len_) + ")";
        return nullptr;
    }
    if (t->rec_len_ < 1) {
        error = path + ": damaged header (record length 0)";
        return nullptr;
    }
    std::vector<unsigned char> desc(t->header_len_ - 32);
    if (!f->read_at(32, desc.data(), desc.size())) {
        error = path + ": cannot read the field descriptors";
        return nullptr;
    }
    std::uint32_t offset = 1;
    bool memo = false;
    for (std::size_t at = 0; at + 32 <= desc.size() && desc[at] != 0x0D; at += 32) {
        const unsigned char* d = desc.data() + at;
        FieldDef fd;
        std::size_t n = 0;
        while (n < 11 && d[n]) ++n;
        fd.name = upper(std::string(reinterpret_cast<const char*>(d), n));
        fd.type = static_cast<char>(d[11]);
        fd.width = d[16];
        fd.decimals = d[17];
        if (fd.type == 'C') {
            fd.width = d[16] + 256 * d[17];
            fd.decimals = 0;
        }
        std::string where = path + ": field " + std::to_string(t->fields_.size() + 1) + " (" + fd.name + ")";
        switch (fd.type) {
        case 'C': case 'N': case 'F': case 'D': case 'L': break;
        case 'M': memo = true; break;
        default:
            error = where + " has the unsupported type '" + std::string(1, fd.type) + "'";
            return nullptr;
        }
        if (fd.width < 1 || fd.name.empty()) {
            error = where + " is damaged (empty name or width 0)";
            return nullptr;
        }
        t->offsets_.push_back(static_cast<int>(offset));
        offset += static_cast<std::uint32_t>(fd.width);
        t->fields_.push_back(fd);
    }
    if (t->fields_.empty()) {
        error = path + ": the table has no fields";
        return nullptr;
    }
    if (offset > t->rec_len_) {
        error = path + ": damaged header (fields need " + std::to_string(offset) + " bytes, records have " +
                std::to_string(t->rec_len_) + ")";
        return nullptr;
    }
    std::uint64_t available = (*size - t->header_len_) / t->rec_len_;
    t->count_ = hcount;
    if (available < hcount) {
        t->count_ = static_cast<std::uint32_t>(available);
        t->warning_ = path + ": the header gives " + std::to_string(hcount) + " records but the file holds " +
                      std::to_string(available);
    }
    t->written_count_ = hcount;
    if (memo) {
        std::string mp = memo_path_of(path);
        auto mf = fs().open(mp, opt.read_only ? OpenMode::Read : OpenMode::ReadWrite);
        if (!mf) {
            error = path + ": its memo file " + mp + " is missing or cannot be opened";
            return nullptr;
        }
        t->memo_ = std::make_unique<MemoFile>(std::move(mf));
        if (!t->memo_->ok()) {
            error = mp + ": " + t->memo_->error();
            return nullptr;
        }
    }
    t->file_ = std::move(f);
    t->cap_ = opt.shared ? 1 : std::max<std::uint32_t>(1, static_cast<std::uint32_t>(kWindowBytes / t->rec_len_));
    t->win_.assign(static_cast<std::size_t>(t->cap_) * t->rec_len_, ' ');
    t->blank_.assign(t->rec_len_, ' ');
    t->cur_ = t->blank_.data();
    t->recno_ = t->count_ + 1;
    if (t->count_ > 0) t->go(1);
    return t;
}

bool DbfTable::create(std::string_view path_in, Structure s, std::string& error) {
    std::string path = table_path(path_in);
    error = normalise_structure(s);
    if (!error.empty()) {
        error = path + ": " + error;
        return false;
    }
    bool memo = std::any_of(s.begin(), s.end(), [](const FieldDef& f) { return f.type == 'M'; });
    std::string bytes = build_header(s, memo);
    bytes += kEof;
    if (!fs().write_atomic(path, bytes)) {
        error = path + ": cannot create the table (DOS error " + std::to_string(fs().last_error()) + ")";
        return false;
    }
    // The new table holds no memo pointers, so replacing its memo file second is safe.
    if (memo && !MemoFile::create_empty(memo_path_of(path))) {
        error = memo_path_of(path) + ": cannot create the memo file";
        return false;
    }
    return true;
}

DbfTable::~DbfTable() { close(); }

bool DbfTable::close() {
    if (!file_) return true;
    bool good = flush();
    if (memo_) good = memo_->close() && good;
    good = file_->close() && good;
    file_.reset();
    memo_.reset();
    return good;
}

void DbfTable::mark_dirty() {
    std::uint32_t i = recno_ - win_first_;
    if (dirty_lo_ == dirty_hi_) {
        dirty_lo_ = i;
        dirty_hi_ = i + 1;
    } else {
        dirty_lo_ = std::min(dirty_lo_, i);
        dirty_hi_ = std::max(dirty_hi_, i + 1);
    }
    header_dirty_ = true;
}

bool DbfTable::write_header_counts() {
    unsigned char h[7];
    put_date(h, today());
    put_u32(h + 3, count_);
    if (!file_->write_at(1, h, sizeof h)) return fail(path_ + ": cannot write the table header");
    written_count_ = count_;
    last_update_ = today();
    header_dirty_ = false;
    return true;
}

bool DbfTable::flush_window() {
    if (dirty_lo_ != dirty_hi_) {
        std::uint64_t off = header_len_ + static_cast<std::uint64_t>(win_first_ + dirty_lo_ - 1) * rec_len_;
        std::size_t n = static_cast<std::size_t>(dirty_hi_ - dirty_lo_) * rec_len_;
        if (!file_->write_at(off, win_.data() + static_cast<std::size_t>(dirty_lo_) * rec_len_, n))
            return fail(path_ + ": cannot write records (DOS error " + std::to_string(file_->last_error()) + ")");
        if (win_first_ + dirty_hi_ - 1 == count_ && !file_->write(&kEof, 1))
            return fail(path_ + ": cannot write the end-of-file mark");
        dirty_lo_ = dirty_hi_ = 0;
    }
    if (header_dirty_) return write_header_counts();
    return true;
}

bool DbfTable::flush() {
    if (!file_ || read_only_) return true;
    return flush_window();
}

bool DbfTable::commit() {
    if (!flush()) return false;
    if (read_only_) return true;
    if (!file_->flush()) return fail(path_ + ": cannot flush the table to disk");
    if (memo_ && !memo_->file()->flush()) return fail(path_ + ": cannot flush the memo file to disk");
    return true;
}

bool DbfTable::go(std::uint32_t recno) {
    if (recno == 0 || recno > count_) {
        recno_ = count_ + 1;
        cur_ = blank_.data();
        return true;
    }
    if (shared_ && !read_only_) {
        if (!flush_window()) return false;
        win_n_ = 0;   // another program may have changed the record: read it again
    }
    if (recno >= win_first_ && recno < win_first_ + win_n_) {
        recno_ = recno;
        cur_ = win_.data() + static_cast<std::size_t>(recno - win_first_) * rec_len_;
        return true;
    }
    if (!flush_window()) return false;
    std::uint32_t n = std::min(cap_, count_ - recno + 1);
    std::uint64_t off = header_len_ + static_cast<std::uint64_t>(recno - 1) * rec_len_;
    if (!file_->read_at(off, win_.data(), static_cast<std::size_t>(n) * rec_len_)) {
        win_n_ = 0;
        recno_ = count_ + 1;
        cur_ = blank_.data();
        return fail(path_ + ": cannot read record " + std::to_string(recno));
    }
    win_first_ = recno;
    win_n_ = n;
    recno_ = recno;
    cur_ = win_.data();
    return true;
}

std::uint32_t DbfTable::memo_block(int i) const {
    const char* p = cur_ + offsets_[static_cast<std::size_t>(i)];
    std::uint64_t b = 0;
    bool digits = false;
    for (int k = 0; k < fields_[static_cast<std::size_t>(i)].width; ++k) {
        char c = p[k];
        if (c >= '0' && c <= '9') {
            b = b * 10 + static_cast<std::uint64_t>(c - '0');
            digits = true;
            if (b > 0xFFFFFFFFull) return 0;
        } else if (c != ' ' || digits) {
            if (c == ' ') break;
            return 0;   // not a block number
        }
    }
    return static_cast<std::uint32_t>(b);
}

std::optional<std::string> DbfTable::memo_text(std::uint32_t block) {
    if (!memo_) return std::string();
    auto r = memo_->read(block);
    if (!r) error_ = memo_path_of(path_) + ": " + memo_->error();
    return r;
}

Value DbfTable::get(int i) {
    const FieldDef& f = fields_[static_cast<std::size_t>(i)];
    if (f.type == 'M') {
        auto t = memo_text(memo_block(i));
        return Value(t ? std::move(*t) : std::string());
    }
    return decode_field(f, cur_ + offsets_[static_cast<std::size_t>(i)]);
}

bool DbfTable::put(int i, const Value& v, bool* overflow) {
    if (overflow) *overflow = false;
    if (read_only_) return fail(path_ + ": the table is open read-only");
    if (at_end()) return fail(path_ + ": no current record");
    const FieldDef& f = fields_[static_cast<std::size_t>(i)];
    char* p = cur_ + offsets_[static_cast<std::size_t>(i)];
    if (f.type == 'M') {
        if (!v.is_text()) return false;
        auto block = memo_->write(v.text(), memo_block(i));
        if (!block) return fail(memo_path_of(path_) + ": " + memo_->error());
        char buf[16];
        if (*block == 0)
            std::memset(buf, ' ', 10);
        else
            std::snprintf(buf, sizeof buf, "%10u", *block);
        std::memcpy(p, buf, 10);
    } else if (!encode_field(f, v, p, overflow)) {
        return false;
    }
    mark_dirty();
    return true;
}

bool DbfTable::set_deleted(bool d) {
    if (read_only_) return fail(path_ + ": the table is open read-only");
    if (at_end()) return fail(path_ + ": no current record");
    cur_[0] = d ? '*' : ' ';
    mark_dirty();
    return true;
}

bool DbfTable::set_record_bytes(const char* bytes) {
    if (read_only_) return fail(path_ + ": the table is open read-only");
    if (at_end()) return fail(path_ + ": no current record");
    std::memcpy(cur_, bytes, rec_len_);
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].type == 'M') std::memset(cur_ + offsets_[i], ' ', static_cast<std::size_t>(fields_[i].width));
    mark_dirty();
    return true;
}

bool DbfTable::append_blank() {
    if (read_only_) return fail(path_ + ": the table is open read-only");
    if (count_ == 0xFFFFFFFEu) return fail(path_ + ": the table is full");
    std::uint32_t rec = count_ + 1;
    if (shared_ || win_n_ == 0 || win_first_ + win_n_ != rec || win_n_ >= cap_) {
        if (!flush_window()) return false;
        win_first_ = rec;
        win_n_ = 0;
    }
    char* p = win_.data() + static_cast<std::size_t>(win_n_) * rec_len_;
    std::memset(p, ' ', rec_len_);
    ++win_n_;
    count_ = rec;
    recno_ = rec;
    cur_ = p;
    blank_.assign(rec_len_, ' ');
    mark_dirty();
    return true;
}

bool DbfTable::rewrite(const std::vector<std::uint32_t>& recnos) {
    if (read_only_ || shared_) return fail(path_ + ": the table must be open exclusively");
    if (!flush()) return false;
    std::string tmp = fs().temp_name_beside(path_);
    auto out = fs().create(tmp);
    if (!out) return fail(tmp + ": cannot create a temporary table");
    auto abandon = [&](const std::string& why) {
        out->close();
        fs().remove_file(tmp);
        return fail(why);
    };
    if (!out->lock(LockMode::Exclusive)) return abandon(tmp + ": cannot lock the temporary table");
    std::string head(header_len_, '\0');
    if (!file_->read_at(0, head.data(), header_len_)) return abandon(path_ + ": cannot read the header");
    auto* hp = reinterpret_cast<unsigned char*>(head.data());
    put_date(hp + 1, today());
    put_u32(hp + 4, static_cast<std::uint32_t>(recnos.size()));
    std::string buf = head;
    buf.reserve(kWindowBytes + rec_len_ + 1);
    for (std::uint32_t r : recnos) {
        if (!go(r) || at_end()) return abandon(error_.empty() ? path_ + ": bad record number" : error_);
        buf.append(cur_, rec_len_);
        if (buf.size() >= kWindowBytes) {
            if (out->write(buf.data(), buf.size()) < 0) return abandon(tmp + ": cannot write");
            buf.clear();
        }
    }
    buf += kEof;
    if (out->write(buf.data(), buf.size()) < 0 || !out->flush()) return abandon(tmp + ": cannot write");
    if (!fs().replace(tmp, path_)) return abandon(path_ + ": cannot replace the table (DOS error " +
                                                  std::to_string(fs().last_error()) + ")");
    // The temporary file, already locked, is now the table.
    file_->close();
    file_ = std::move(out);
    count_ = written_count_ = static_cast<std::uint32_t>(recnos.size());
    last_update_ = today();
    win_n_ = 0;
    dirty_lo_ = dirty_hi_ = 0;
    header_dirty_ = false;
    error_.clear();
    return go(count_ ? 1 : 0);
}

bool DbfTable::zap() {
    if (!rewrite({})) return false;
    if (memo_) {
        std::string mp = memo_path_of(path_);
        if (!MemoFile::create_empty(mp)) return fail(mp + ": cannot empty the memo file");
        auto mf = fs().open(mp, OpenMode::ReadWrite);
        if (!mf) return fail(mp + ": cannot open the memo file again");
        memo_ = std::make_unique<MemoFile>(std::move(mf));
    }
    return true;
}

}  // namespace qaro
