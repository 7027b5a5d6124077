// The batch interpreter behind the command interpreter: runs command lines and batch files in
// the current drive and directory of the emulated file system. The subset is documented in
// README.md ("Command interpreter").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/shell_output.h"

namespace qaro::shell {

class BatchInterpreter {
public:
    // `console` receives what would reach the screen (normally discarded).
    explicit BatchInterpreter(ShellOutput console) : console_(console) {}

    // One command line, as after "COMMAND /C".
    void run_line(std::string_view line);
    // A batch given as text (not re-read from a file).
    void run_text(std::string_view text);

    int errorlevel() const { return errorlevel_; }

    // A batch stops after this many lines (a "goto" loop must not hang the installation).
    static constexpr long kMaxSteps = 100000;
    static constexpr int kMaxDepth = 16;   // nested "call"s

private:
    struct Batch {
        std::string path;   // full DOS path; empty for a batch given as text
        std::string text;
        std::size_t next = 0;   // offset of the next line
        std::vector<std::string> params;   // %0..%9
        bool done = false;
    };

    void run_batch(Batch& b, ShellOutput& out);
    void run_batch_file(const std::string& path, std::vector<std::string> params, ShellOutput& out);
    void execute(std::string_view line, Batch* batch, ShellOutput& out);    // with redirections
    void dispatch(std::string_view line, Batch* batch, ShellOutput& out);   // redirections taken out
    void do_echo(const std::string& rest, ShellOutput& out);
    void do_if(std::string_view rest, Batch* batch, ShellOutput& out);
    void do_goto(std::string_view rest, Batch* batch, ShellOutput& out);
    void do_call(std::string_view rest, Batch* batch, ShellOutput& out);
    void do_exit(const std::vector<std::string>& args);
    void run_program(const std::string& word, const std::string& rest, Batch* batch, bool call, ShellOutput& out);
    std::string prompt() const;

    ShellOutput console_;
    int errorlevel_ = 0;
    bool echo_ = true;
    bool exit_ = false;
    int depth_ = 0;
    long steps_ = 0;
};

}  // namespace qaro::shell
