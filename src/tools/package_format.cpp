#include "tools/package_format.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/checksum.h"
#include "platform/file_system.h"
#include "platform/lib_data.h"

namespace qaro::package {

namespace {

void put_field(std::string& s, std::size_t at, std::string_view v, std::size_t width) {
    std::memcpy(&s[at], v.data(), std::min(v.size(), width));
}

std::string without_zeros(std::string_view v) {
    std::string r;
    for (char c : v)
        if (c != '\0') r += c;
    return r;
}

std::uint32_t u32_at(std::string_view s, std::size_t at) { return static_cast<std::uint32_t>(BIN2N(s.substr(at, 4))); }

std::string two(int v) {
    char b[4] = {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10), 0, 0};
    return b;
}

}  // namespace

std::string encode_header(std::uint32_t total_length, std::uint32_t checksum) {
    std::string h(kHeaderSize, '\0');
    put_field(h, 0, kMagic, 8);
    put_field(h, 8, N2BIN(total_length), 4);
    put_field(h, 12, N2BIN(checksum), 4);
    return h;
}

std::string encode_entry(const Member& m, bool last) {
    std::string e(kEntrySize, '\0');
    put_field(e, 0, kEntryTag, 8);
    put_field(e, 16, m.path, kPathWidth);
    put_field(e, 80, m.attrib, kAttribWidth);
    put_field(e, 88, m.date, 8);
    put_field(e, 96, m.time, 6);
    put_field(e, 102, N2BIN(m.length), 4);
    put_field(e, 106, N2BIN(m.position), 4);
    put_field(e, 110, last ? N2BIN("FFFFFFFE", 4) : N2BIN(std::uint32_t{0}), 4);
    return e;
}

EntryView parse_entry(std::string_view b) {
    EntryView v;
    if (b.size() != kEntrySize) return v;
    v.tag_ok = b.substr(0, 8) == kEntryTag;
    v.last = b.substr(110, 4) == N2BIN("FFFFFFFE", 4);
    v.member.path = without_zeros(b.substr(16, kPathWidth));
    v.member.attrib = without_zeros(b.substr(80, kAttribWidth));
    v.member.date = std::string(b.substr(88, 8));
    v.member.time = std::string(b.substr(96, 6));
    v.member.length = u32_at(b, 102);
    v.member.position = u32_at(b, 106);
    return v;
}

bool write_package(std::string_view out_path, std::vector<PackItem> items, std::string* error,
                   const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    auto bad = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (items.empty()) return bad("a package needs at least one member");
    std::uint64_t pos = 0;
    for (auto& it : items) {
        if (it.member.path.empty() || it.member.path.size() > kPathWidth)
            return bad("member path '" + it.member.path + "' does not fit the 64-byte path field");
        auto st = fs().stat(it.source);
        if (!st) return bad(it.source + ": cannot be read");
        if (st->size > 0xFFFFFFFFull) return bad(it.source + ": larger than a member may be");
        it.member.length = static_cast<std::uint32_t>(st->size);
        it.member.position = static_cast<std::uint32_t>(pos);
        pos += st->size;
    }
    std::uint64_t total = kHeaderSize + kEntrySize * items.size() + pos;
    if (total > 0xFFFFFFFFull) return bad("the package would exceed 4 GiB, more than its length field holds");

    std::string tmp = fs().temp_name_beside(out_path);
    auto out = fs().create(tmp);
    if (!out) return bad(std::string(out_path) + ": cannot be created (error " + std::to_string(fs().last_error()) + ")");
    bool ok = true;
    std::string why;
    std::uint32_t crc = 0;
    auto emit = [&](const void* p, std::size_t n) {
        if (!ok) return;
        if (out->write(p, n) != static_cast<long long>(n)) {
            ok = false;
            why = std::string(out_path) + ": write failed (error " + std::to_string(out->last_error()) + ")";
            return;
        }
        crc = crc32_update(crc, p, n);
    };
    std::string header = encode_header(static_cast<std::uint32_t>(total), 0);
    emit(header.data(), header.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string e = encode_entry(items[i].member, i + 1 == items.size());
        emit(e.data(), e.size());
    }
    std::vector<char> buf(1 << 20);
    std::uint64_t done = 0;
    for (auto& it : items) {
        if (!ok) break;
        auto in = fs().open(it.source, OpenMode::Read);
        if (!in) {
            ok = false;
            why = it.source + ": cannot be opened";
            break;
        }
        std::uint64_t left = it.member.length;
        while (ok && left > 0) {
            auto n = in->read(buf.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size())));
            if (n <= 0) {
                ok = false;
                why = it.source + ": changed or unreadable while packing";
                break;
            }
            emit(buf.data(), static_cast<std::size_t>(n));
            left -= static_cast<std::uint64_t>(n);
            done += static_cast<std::uint64_t>(n);
            if (progress) progress(done, pos);
        }
    }
    if (ok) {
        std::string sum = N2BIN(crc);
        ok = out->write_at(kStoredSumOffset, sum.data(), 4) && out->flush();
        if (!ok) why = std::string(out_path) + ": write failed";
    }
    ok = out->close() && ok;
    if (ok && !fs().replace(tmp, out_path)) {
        ok = false;
        why = std::string(out_path) + ": cannot be replaced (error " + std::to_string(fs().last_error()) + ")";
    }
    if (!ok) {
        fs().remove_file(tmp);
        return bad(why.empty() ? std::string(out_path) + ": write failed" : why);
    }
    return true;
}

namespace {
bool collect(const std::string& dir, const std::string& rel, std::vector<PackItem>& items, std::string* error) {
    auto entries = fs().list(join_path(dir, "*.*"), attr::kHidden | attr::kSystem | attr::kDirectory);
    if (entries.empty() && fs().last_error()) {
        if (error) *error = dir + ": cannot be listed";
        return false;
    }
    for (auto& e : entries) {
        if (e.name == "." || e.name == "..") continue;
        std::string src = join_path(dir, e.name);
        if (e.attributes & attr::kDirectory) {
            if (!collect(src, rel + e.name + "\\", items, error)) return false;
            continue;
        }
        PackItem it;
        it.source = src;
        it.member.path = rel + upper(e.name);
        if (e.attributes & attr::kReadOnly) it.member.attrib += 'R';
        if (e.attributes & attr::kHidden) it.member.attrib += 'H';
        if (e.attributes & attr::kSystem) it.member.attrib += 'S';
        it.member.date = e.time.date.empty() ? "19800101" : e.time.date.dtos();
        it.member.time = two(e.time.seconds / 3600) + two(e.time.seconds / 60 % 60) + two(e.time.seconds % 60);
        items.push_back(std::move(it));
    }
    return true;
}
}  // namespace

bool collect_tree(std::string_view dir, std::vector<PackItem>& items, std::string* error) {
    items.clear();
    if (!fs().is_dir(dir)) {
        if (error) *error = std::string(dir) + ": not a directory";
        return false;
    }
    if (!collect(strip_backslash(dir), "", items, error)) return false;
    std::sort(items.begin(), items.end(), [](const PackItem& a, const PackItem& b) { return a.member.path < b.member.path; });
    return true;
}

bool read_listing(std::string_view path, Listing& out, std::string* error) {
    auto bad = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    auto f = fs().open(path, OpenMode::Read);
    if (!f) return bad(std::string(path) + ": cannot be opened");
    std::string head(kHeaderSize, '\0');
    if (f->read(head.data(), head.size()) != static_cast<long long>(head.size())) return bad("shorter than the header");
    if (head.substr(0, 8) != kMagic) return bad("no package magic");
    out.stored_length = u32_at(head, 8);
    out.stored_checksum = u32_at(head, 12);
    out.members.clear();
    std::string e(kEntrySize, '\0');
    for (;;) {
        if (f->read(e.data(), e.size()) != static_cast<long long>(e.size()))
            return bad("member table ends without its last entry");
        auto v = parse_entry(e);
        if (!v.tag_ok) return bad("damaged member entry " + std::to_string(out.members.size() + 1));
        out.members.push_back(v.member);
        if (v.last) break;
    }
    out.data_offset = f->tell();
    return true;
}

bool verify(std::string_view path, std::string* error) {
    auto bad = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    auto f = fs().open(path, OpenMode::Read);
    if (!f) return bad(std::string(path) + ": cannot be opened");
    std::string head(16, '\0');
    if (f->read(head.data(), head.size()) != 16) return bad("shorter than the header");
    auto size = f->size();
    if (!size) return bad("size cannot be read");
    if (head.substr(0, 8) != kMagic) return bad("no package magic");
    if (u32_at(head, 8) != *size)
        return bad("stored length " + std::to_string(u32_at(head, 8)) + " differs from the file size " + std::to_string(*size));
    auto sum = LICZSUME(*f, *size, true);
    if (!sum) return bad("read error");
    if (*sum != u32_at(head, 12)) return bad("checksum mismatch: the content was changed");
    return true;
}

}  // namespace qaro::package
