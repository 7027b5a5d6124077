#include "platform/shell/file_commands.h"

#include <cstdio>

#include "platform/file_system.h"
#include "platform/shell/command_line.h"
#include "platform/value.h"
#include "platform/wildcard.h"

namespace qaro::shell {

namespace {

bool is_switch(const std::string& a) { return a.size() > 1 && a[0] == '/'; }

// Splits switches from names; false (and a message) on a switch not in `accepted`.
bool take_switches(const std::vector<std::string>& args, std::initializer_list<const char*> accepted,
                   std::vector<std::string>& names, std::vector<std::string>& switches, ShellOutput& out) {
    for (auto& a : args) {
        if (!is_switch(a)) {
            names.push_back(a);
            continue;
        }
        bool known = false;
        for (const char* s : accepted) known = known || equal_nocase(a, s);
        if (!known) {
            out.line("Invalid switch - " + a);
            return false;
        }
        switches.push_back(lower(a));
    }
    return true;
}

// A directory given as "X:", "...\" or an existing directory name.
bool names_directory(const std::string& p) {
    if (p.empty()) return true;
    char last = p.back();
    return last == '\\' || last == '/' || (p.size() == 2 && p[1] == ':') || fs().is_dir(p);
}

std::string in_directory(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    char last = dir.back();
    return (last == '\\' || last == '/' || last == ':') ? dir + name : join_path(dir, name);
}

// The files a name stands for: every normal file of a directory, the matches of a wildcard, or
// the one file named. Hidden and system files are left out, as DOS does.
std::vector<std::string> matching_files(const std::string& name) {
    std::string pattern = (!has_wildcards(name) && fs().is_dir(name)) ? in_directory(name, "*.*") : name;
    std::vector<std::string> out;
    if (has_wildcards(pattern)) {
        std::string dir = split_name(pattern).dir;
        for (auto& e : fs().list(pattern))
            if (!(e.attributes & attr::kDirectory)) out.push_back(dir + e.name);
        return out;
    }
    auto st = fs().stat(pattern);
    if (st && !(st->attributes & (attr::kDirectory | attr::kHidden | attr::kSystem))) out.push_back(pattern);
    return out;
}

int cmd_cd(const std::vector<std::string>& args, ShellOutput& out) {
    if (args.empty() || (args[0].size() == 2 && args[0][1] == ':')) {
        char drive = args.empty() ? fs().current_drive() : static_cast<char>(upper(args[0])[0]);
        if (!fs().drive_available(drive)) {
            out.line("Invalid drive");
            return 1;
        }
        out.line(std::string(1, drive) + ":\\" + fs().current_dir(drive));
        return 0;
    }
    if (args.size() > 1) {
        out.line("Too many parameters - " + args[1]);
        return 1;
    }
    if (!fs().change_dir(args[0])) {
        out.line("Invalid directory");
        return 1;
    }
    return 0;
}

int cmd_md(const std::vector<std::string>& args, ShellOutput& out) {
    if (args.size() != 1) {
        out.line(args.empty() ? "Required parameter missing" : "Too many parameters - " + args[1]);
        return 1;
    }
    if (!fs().make_dir(args[0])) {
        out.line("Unable to create directory");
        return 1;
    }
    return 0;
}

int cmd_rd(const std::vector<std::string>& args, ShellOutput& out) {
    if (args.size() != 1) {
        out.line(args.empty() ? "Required parameter missing" : "Too many parameters - " + args[1]);
        return 1;
    }
    if (!fs().is_dir(args[0]) || !fs().remove_dir(args[0])) {
        out.line("Invalid path, not directory,");
        out.line("or directory not empty");
        return 1;
    }
    return 0;
}

int cmd_del(const std::vector<std::string>& args, ShellOutput& out) {
    std::vector<std::string> names, switches;
    if (!take_switches(args, {"/q", "/p"}, names, switches, out)) return 1;
    if (names.empty()) {
        out.line("Required parameter missing");
        return 1;
    }
    int rc = 0;
    for (auto& n : names) {
        auto files = matching_files(n);
        if (files.empty()) {
            out.line("File not found - " + n);
            rc = 1;
        }
        for (auto& f : files) {
            if (!fs().remove_file(f)) {   // read-only files stay
                out.line("Access denied - " + f);
                rc = 1;
            }
        }
    }
    return rc;
}

int cmd_copy(const std::vector<std::string>& args, ShellOutput& out) {
    std::vector<std::string> names, switches;
    if (!take_switches(args, {"/y", "/-y", "/v", "/a", "/b"}, names, switches, out)) return 1;
    if (names.empty() || names.size() > 2) {
        out.line(names.empty() ? "Required parameter missing" : "Too many parameters - " + names[2]);
        return 1;
    }
    const std::string& src = names[0];
    if (src.find('+') != std::string::npos) {
        out.line("Combining files is not supported - " + src);
        return 1;
    }
    std::string dst = names.size() > 1 ? names[1] : std::string();
    auto sources = matching_files(src);
    if (sources.empty()) {
        out.line("File not found - " + src);
        return 1;
    }
    bool to_dir = names_directory(dst);
    bool to_pattern = !to_dir && has_wildcards(dst);
    if (!to_dir && !to_pattern && sources.size() > 1) {
        // DOS would append them all into one file; no batch of ours wants that.
        out.line("Cannot copy several files onto one file - " + dst);
        return 1;
    }
    int rc = 0, copied = 0;
    for (auto& s : sources) {
        std::string name = split_name(s).name;
        std::string target = to_dir       ? in_directory(dst, name)
                             : to_pattern ? split_name(dst).dir + apply_name_pattern(split_name(dst).name, name)
                                          : dst;
        if (equal_nocase(fs().full_path(s), fs().full_path(target))) {
            out.line("File cannot be copied onto itself - " + s);
            rc = 1;
            continue;
        }
        // Batch files overwrite without asking, as COPY does inside a batch.
        if (!fs().copy_file(s, target, true)) {
            out.line((fs().last_error() == doserr::kAccessDenied ? "Access denied - " : "Cannot copy to ") + target);
            rc = 1;
            continue;
        }
        ++copied;
    }
    char line[48];
    std::snprintf(line, sizeof line, "%9d file(s) copied", copied);
    out.line(line);
    return rc;
}

int cmd_ren(const std::vector<std::string>& args, ShellOutput& out) {
    if (args.size() != 2) {
        out.line(args.size() < 2 ? "Required parameter missing" : "Too many parameters - " + args[2]);
        return 1;
    }
    const std::string& to = args[1];
    if (to.find_first_of("\\/:") != std::string::npos) {
        out.line("Invalid parameter - " + to);
        return 1;
    }
    auto from = split_name(args[0]);
    std::vector<std::string> names;
    if (has_wildcards(args[0])) {
        for (auto& e : fs().list(args[0]))
            if (!(e.attributes & attr::kDirectory)) names.push_back(e.name);
    } else if (fs().exists(args[0])) {
        names.push_back(from.name);
    }
    if (names.empty()) {
        out.line("File not found - " + args[0]);
        return 1;
    }
    int rc = 0;
    for (auto& n : names) {
        std::string target = has_wildcards(to) ? apply_name_pattern(to, n) : to;
        if (!fs().rename(from.dir + n, from.dir + target)) {
            out.line("Duplicate file name or file not found");
            rc = 1;
        }
    }
    return rc;
}

int cmd_attrib(const std::vector<std::string>& args, ShellOutput& out) {
    unsigned set = 0, clear = 0;
    std::vector<std::string> names;
    for (auto& a : args) {
        if (a.size() == 2 && (a[0] == '+' || a[0] == '-')) {
            unsigned bit = attr::from_letters(a.substr(1)) & (attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive);
            if (!bit) {
                out.line("Invalid switch - " + a);
                return 1;
            }
            (a[0] == '+' ? set : clear) |= bit;
        } else {
            names.push_back(a);
        }
    }
    if (names.empty()) names.push_back("*.*");
    int rc = 0;
    for (auto& n : names) {
        std::string dir = split_name(n).dir;
        auto entries = fs().list(n, attr::kHidden | attr::kSystem);
        if (entries.empty()) {
            out.line("File not found - " + n);
            rc = 1;
        }
        for (auto& e : entries) {
            std::string p = dir + e.name;
            if (!set && !clear) {
                std::string flags = "      ";
                if (e.attributes & attr::kArchive) flags[0] = 'A';
                if (e.attributes & attr::kSystem) flags[2] = 'S';
                if (e.attributes & attr::kHidden) flags[3] = 'H';
                if (e.attributes & attr::kReadOnly) flags[4] = 'R';
                out.line(flags + "  " + fs().full_path(p));
                continue;
            }
            unsigned bits = ((e.attributes & ~clear) | set) & ~attr::kDirectory;
            if (!fs().set_attributes(p, bits)) {
                out.line("Access denied - " + p);
                rc = 1;
            }
        }
    }
    return rc;
}

int cmd_type(const std::vector<std::string>& args, ShellOutput& out) {
    if (args.size() != 1) {
        out.line(args.empty() ? "Required parameter missing" : "Too many parameters - " + args[1]);
        return 1;
    }
    std::string text;
    if (!fs().is_file(args[0]) || !fs().read_all(args[0], text)) {
        out.line("File not found - " + args[0]);
        return 1;
    }
    out.write(text);
    return 0;
}

}  // namespace

FileCommand find_file_command(std::string_view word) {
    struct Entry {
        const char* name;
        FileCommand fn;
    };
    static const Entry kTable[] = {
        {"cd", cmd_cd},       {"chdir", cmd_cd},      {"md", cmd_md},     {"mkdir", cmd_md},
        {"rd", cmd_rd},       {"rmdir", cmd_rd},      {"del", cmd_del},   {"erase", cmd_del},
        {"copy", cmd_copy},   {"ren", cmd_ren},       {"rename", cmd_ren}, {"attrib", cmd_attrib},
        {"type", cmd_type},
    };
    for (auto& e : kTable)
        if (equal_nocase(word, e.name)) return e.fn;
    return nullptr;
}

}  // namespace qaro::shell
