// qarotool sub-commands. Each command file registers itself with QAROTOOL_COMMAND.
#pragma once

#include <string>
#include <vector>

namespace qaro::tool {

// args: the words after the command name. Returns the process exit code.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;   // one line per form, without the program name
    CommandFn run;
};

bool register_command(const Command& c);
const std::vector<Command>& commands();

}  // namespace qaro::tool

#define QAROTOOL_CONCAT2(a, b) a##b
#define QAROTOOL_CONCAT(a, b) QAROTOOL_CONCAT2(a, b)
#define QAROTOOL_COMMAND(name, usage, fn) \
    static const bool QAROTOOL_CONCAT(qarotool_registered_, __LINE__) = ::qaro::tool::register_command({name, usage, fn})
