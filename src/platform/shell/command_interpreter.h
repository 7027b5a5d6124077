// The command interpreter of the emulated DOS world (the system's COMMAND.COM). It runs in the
// current drive and directory of qaro::fs() and, like a child process, leaves the caller's
// current drive and every drive's current directory as they were. The batch subset it
// understands is documented in README.md ("Command interpreter").
#pragma once

#include <string>
#include <string_view>

namespace qaro {

// Behaves like "COMMAND.COM <arguments>" for "/C <command line>" (also "/K"), e.g.
// "/C bis.bat > NUL". Returns the errorlevel of the last command, or -1 when the interpreter
// cannot start at all: the current directory or drive is gone, or the arguments hold no /C (an
// interactive interpreter has nobody to talk to). Failures inside a batch are never -1.
int run_command_interpreter(std::string_view arguments);
// The same; what would reach the screen is appended to `console` (nullptr: discarded).
int run_command_interpreter(std::string_view arguments, std::string* console);

// Runs `text` as a batch file's content (lines ended by CR LF or LF) in the current directory,
// with the same restoring of drives and directories and the same -1 rule.
int run_batch_text(std::string_view text, std::string* console = nullptr);

}  // namespace qaro
