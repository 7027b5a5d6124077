#include "platform/table/memo_file.h"

#include <cstring>
#include <vector>

namespace qaro {

namespace {
void put_u32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t get_u32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

bool MemoFile::create_empty(std::string_view path) {
    unsigned char hdr[kBlock] = {};
    put_u32(hdr, 1);
    hdr[16] = 0x03;   // dBASE III memo version mark, read by some tools
    return fs().write_atomic(path, std::string_view(reinterpret_cast<char*>(hdr), kBlock));
}

MemoFile::MemoFile(std::unique_ptr<File> f) : file_(std::move(f)) {
    if (file_ && !load_header()) file_.reset();
}

bool MemoFile::load_header() {
    unsigned char h[4];
    auto size = file_->size();
    if (!size) {
        error_ = "cannot read the memo file's size";
        return false;
    }
    if (*size < 4 || !file_->read_at(0, h, 4)) {
        error_ = "the memo file has no header";
        return false;
    }
    next_free_ = get_u32(h);
    // A header that points before the end of the file would make new memos overwrite old ones.
    std::uint64_t blocks_in_file = (*size + kBlock - 1) / kBlock;
    if (next_free_ < blocks_in_file || next_free_ == 0) next_free_ = static_cast<std::uint32_t>(blocks_in_file ? blocks_in_file : 1);
    return true;
}

std::optional<std::string> MemoFile::read(std::uint32_t block) {
    if (block == 0) return std::string();
    auto size = file_->size();
    std::uint64_t start = static_cast<std::uint64_t>(block) * kBlock;
    if (!size || start >= *size) {
        error_ = "memo block " + std::to_string(block) + " lies past the end of the memo file";
        return std::nullopt;
    }
    std::string out;
    std::vector<char> buf(kBlock * 8);
    std::uint64_t pos = start;
    while (pos < *size && out.size() < kMaxMemo) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), *size - pos));
        if (!file_->read_at(pos, buf.data(), n)) {
            error_ = "cannot read memo block " + std::to_string(block);
            return std::nullopt;
        }
        const void* end = std::memchr(buf.data(), 0x1A, n);
        if (end) {
            out.append(buf.data(), static_cast<const char*>(end) - buf.data());
            return out;
        }
        out.append(buf.data(), n);
        pos += n;
    }
    if (out.size() > kMaxMemo) out.resize(kMaxMemo);
    return out;   // no end mark before the end of the file: what is there
}

std::optional<std::uint32_t> MemoFile::write(const std::string& text, std::uint32_t old_block) {
    if (text.empty()) return 0u;
    std::uint64_t need = (text.size() + 2 + kBlock - 1) / kBlock;
    std::uint32_t block = 0;
    if (old_block != 0 && old_block < next_free_) {
        // The old memo surely owns the blocks its text and one end mark cover.
        auto old = read(old_block);
        if (old) {
            std::uint64_t have = (old->size() + 1 + kBlock - 1) / kBlock;
            if (have >= need) block = old_block;
        }
    }
    bool at_end = block == 0;
    if (at_end) {
        if (next_free_ + need > 0xFFFFFFFFull) {
            error_ = "the memo file is full";
            return std::nullopt;
        }
        block = next_free_;
    }
    std::string data = text;
    data += "\x1A\x1A";
    if (at_end) data.resize(static_cast<std::size_t>(need * kBlock), '\0');
    if (!file_->write_at(static_cast<std::uint64_t>(block) * kBlock, data.data(), data.size())) {
        error_ = "cannot write to the memo file";
        return std::nullopt;
    }
    if (at_end) {
        next_free_ = static_cast<std::uint32_t>(block + need);
        unsigned char h[4];
        put_u32(h, next_free_);
        if (!file_->write_at(0, h, 4)) {
            error_ = "cannot write the memo file's header";
            return std::nullopt;
        }
    }
    return block;
}

bool MemoFile::close() {
    if (!file_) return true;
    bool r = file_->close();
    file_.reset();
    return r;
}

}  // namespace qaro
