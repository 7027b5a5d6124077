// Memo file (.DBT) in the dBASE III layout: 512-byte blocks, block 0 the header whose first four
// bytes (little endian) give the next free block; a memo is its text followed by 0x1A 0x1A,
// starting at a block boundary.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace qaro {

class MemoFile {
public:
    static constexpr std::uint32_t kBlock = 512;
    // Longest memo read back; a chain of blocks without an end mark stops here.
    static constexpr std::uint64_t kMaxMemo = 16u << 20;

    // Creates an empty memo file (the header block alone) at `path`, replacing nothing else.
    static bool create_empty(std::string_view path);

    explicit MemoFile(std::unique_ptr<File> f);
    bool ok() const { return file_ != nullptr; }

    // The text of the memo starting at `block`, up to its first 0x1A (as dBASE III readers do).
    // Block 0 is the empty memo. nullopt (and error()) when the block lies past the end of the file.
    std::optional<std::string> read(std::uint32_t block);
    // Stores `text` and returns its first block (0 for an empty text). The text reuses the
    // blocks of `old_block` when it fits into them, otherwise it goes to the end of the file.
    std::optional<std::uint32_t> write(const std::string& text, std::uint32_t old_block);

    const std::string& error() const { return error_; }
    File* file() { return file_.get(); }
    bool close();

private:
    bool load_header();
    std::unique_ptr<File> file_;
    std::uint32_t next_free_ = 1;
    std::string error_;
};

}  // namespace qaro
