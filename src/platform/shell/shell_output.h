// Where the output of an interpreter command goes: nowhere (NUL, the discarded console) or into
// a text that the caller writes to a file or keeps.
#pragma once

#include <string>
#include <string_view>

namespace qaro::shell {

class ShellOutput {
public:
    ShellOutput() = default;                              // discards everything
    explicit ShellOutput(std::string* sink) : sink_(sink) {}

    void write(std::string_view text) {
        if (sink_) sink_->append(text);
    }
    // One line ended by CR LF, as the DOS console writes it.
    void line(std::string_view text) {
        write(text);
        write("\r\n");
    }

private:
    std::string* sink_ = nullptr;
};

}  // namespace qaro::shell
