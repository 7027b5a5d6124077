#include "platform/shell/batch_interpreter.h"

#include <cctype>
#include <memory>

#include "platform/file_system.h"
#include "platform/shell/command_line.h"
#include "platform/shell/file_commands.h"
#include "platform/shell/unpacker.h"
#include "platform/value.h"
#include "platform/wildcard.h"

namespace qaro::shell {

namespace {

std::string strip_at(std::string_view line) {
    std::string l = trim_blanks(line);
    while (!l.empty() && l[0] == '@') l = trim_blanks(std::string_view(l).substr(1));
    return l;
}

bool is_drive_word(const std::string& w) {
    return w.size() == 2 && w[1] == ':' && std::isalpha(static_cast<unsigned char>(w[0]));
}

bool is_builtin(const std::string& word) {
    static const char* const kWords[] = {"rem", "echo", "if", "goto", "call", "exit", "cls"};
    for (const char* k : kWords)
        if (equal_nocase(word, k)) return true;
    return is_drive_word(word) || find_file_command(word) != nullptr;
}

// Takes the next blank-separated token off `s` (double quotes group and are removed).
std::string take_token(std::string_view& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::string t;
    bool quoted = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c == ' ' || c == '\t')) break;
        t += c;
    }
    s.remove_prefix(i);
    return t;
}

bool all_digits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "if exist": a file or directory; a wildcard that matches a file; DIR\NUL for a directory.
bool exists_for_if(const std::string& name) {
    if (is_null_device(name)) {
        std::string dir = split_name(name).dir;
        return dir.empty() || fs().is_dir(dir);
    }
    if (has_wildcards(name)) return !fs().list(name).empty();
    return fs().exists(name);
}

}  // namespace

std::string BatchInterpreter::prompt() const { return fs().full_path(".") + ">"; }

void BatchInterpreter::run_line(std::string_view line) { execute(line, nullptr, console_); }

void BatchInterpreter::run_text(std::string_view text) {
    Batch b;
    b.text = std::string(text);
    b.params = {""};
    run_batch(b, console_);
}

void BatchInterpreter::run_batch_file(const std::string& path, std::vector<std::string> params, ShellOutput& out) {
    Batch b;
    b.path = fs().full_path(path);
    b.params = std::move(params);
    run_batch(b, out);
}

void BatchInterpreter::run_batch(Batch& b, ShellOutput& out) {
    if (depth_ >= kMaxDepth) {
        out.line("Batch nesting too deep");
        errorlevel_ = 1;
        return;
    }
    ++depth_;
    while (!exit_ && !b.done) {
        // Like DOS, the file is read again before every line, from where the last one ended.
        if (!b.path.empty() && !fs().read_all(b.path, b.text)) {
            out.line("Batch file missing");
            break;
        }
        if (b.next >= b.text.size()) break;
        auto nl = b.text.find('\n', b.next);
        std::string line = b.text.substr(b.next, nl == std::string::npos ? std::string::npos : nl - b.next);
        b.next = nl == std::string::npos ? b.text.size() : nl + 1;
        if (auto eof = line.find('\x1a'); eof != std::string::npos) {   // Ctrl+Z ends the text
            line.resize(eof);
            b.done = true;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (++steps_ > kMaxSteps) {
            out.line("Batch stopped: too many lines run");
            errorlevel_ = 1;
            exit_ = true;
            break;
        }
        std::string text = trim_blanks(substitute_parameters(line, b.params));
        if (text.empty() || text[0] == ':') continue;
        if (echo_ && text[0] != '@') out.line(prompt() + text);
        execute(text, &b, out);
    }
    --depth_;
}

void BatchInterpreter::execute(std::string_view raw, Batch* batch, ShellOutput& out) {
    std::string line = strip_at(raw);
    if (line.empty() || line[0] == ':') return;
    std::string word = split_command_word(line).word;
    if (equal_nocase(word, "rem")) return;   // a remark may hold '>'
    if (equal_nocase(word, "if")) {
        // The redirection belongs to the command after the condition: a false condition
        // creates no file.
        dispatch(line, batch, out);
        return;
    }
    auto r = split_redirections(line);
    if (r.input && !is_null_device(*r.input) && !fs().is_file(*r.input)) {
        out.line("File not found - " + *r.input);
        errorlevel_ = 1;
        return;
    }
    if (!r.output) {
        dispatch(r.command, batch, out);
        return;
    }
    if (is_null_device(*r.output)) {
        ShellOutput none;
        dispatch(r.command, batch, none);
        return;
    }
    if (equal_nocase(*r.output, "CON") || equal_nocase(*r.output, "CON:")) {
        dispatch(r.command, batch, console_);
        return;
    }
    // The file is created (or opened for ">>") before the command runs, as DOS does.
    std::unique_ptr<File> f = r.append && fs().is_file(*r.output) ? fs().open(*r.output, OpenMode::ReadWrite)
                                                                  : fs().create(*r.output);
    if (!f) {
        out.line("File creation error - " + *r.output);
        errorlevel_ = 1;
        return;
    }
    std::string captured;
    ShellOutput sink(&captured);
    dispatch(r.command, batch, sink);
    auto size = f->size();
    bool ok = size && f->seek(*size) &&
              (captured.empty() || f->write(captured.data(), captured.size()) == static_cast<long long>(captured.size()));
    ok = f->close() && ok;
    if (!ok) {
        out.line("Write error - " + *r.output);
        errorlevel_ = 1;
    }
}

void BatchInterpreter::dispatch(std::string_view raw, Batch* batch, ShellOutput& out) {
    std::string line = strip_at(raw);
    if (line.empty() || line[0] == ':') return;
    auto cw = split_command_word(line);
    std::string w = lower(cw.word);
    if (is_drive_word(w) && trim_blanks(cw.rest).empty()) {
        if (!fs().set_current_drive(w[0])) {
            out.line("Invalid drive");
            errorlevel_ = 1;
        } else {
            errorlevel_ = 0;
        }
        return;
    }
    if (w == "rem" || w == "cls") return;
    if (w == "echo") return do_echo(cw.rest, out);
    if (w == "if") return do_if(cw.rest, batch, out);
    if (w == "goto") return do_goto(cw.rest, batch, out);
    if (w == "call") return do_call(cw.rest, batch, out);
    if (w == "exit") return do_exit(split_arguments(cw.rest));
    if (auto fn = find_file_command(w)) {
        errorlevel_ = fn(split_arguments(cw.rest), out);
        return;
    }
    run_program(cw.word, cw.rest, batch, false, out);
}

void BatchInterpreter::do_echo(const std::string& rest, ShellOutput& out) {
    if (rest.empty()) {
        out.line(echo_ ? "ECHO is on" : "ECHO is off");
        return;
    }
    std::string text = rest.substr(1);   // the delimiter after the word is not echoed
    if (rest[0] == ' ' || rest[0] == '\t') {
        std::string t = lower(trim_blanks(text));
        if (t == "off" || t == "on") {
            echo_ = t == "on";
            return;
        }
        if (t.empty()) {
            out.line(echo_ ? "ECHO is on" : "ECHO is off");
            return;
        }
    }
    out.line(text);
}

void BatchInterpreter::do_if(std::string_view rest, Batch* batch, ShellOutput& out) {
    std::string_view s = rest;
    std::string_view before = s;
    std::string word = take_token(s);
    bool negate = false;
    if (equal_nocase(word, "not")) {
        negate = true;
        before = s;
        word = take_token(s);
    }
    bool cond;
    if (equal_nocase(word, "exist")) {
        cond = exists_for_if(take_token(s));
    } else if (equal_nocase(word, "errorlevel")) {
        std::string n = take_token(s);
        if (!all_digits(n)) {
            out.line("Syntax error");
            errorlevel_ = 1;
            return;
        }
        cond = errorlevel_ >= std::stoi(n.substr(0, 9));
    } else {
        // string1==string2, compared as written (quotes included)
        auto eq = before.find("==");
        if (eq == std::string_view::npos) {
            out.line("Syntax error");
            errorlevel_ = 1;
            return;
        }
        std::string left = trim_blanks(before.substr(0, eq));
        s = before.substr(eq + 2);
        while (!s.empty() && (s[0] == ' ' || s[0] == '\t')) s.remove_prefix(1);
        std::size_t end = 0;
        while (end < s.size() && s[end] != ' ' && s[end] != '\t') ++end;
        std::string right(s.substr(0, end));
        s.remove_prefix(end);
        cond = left == right;
    }
    std::string command = trim_blanks(s);
    if (command.empty()) {
        out.line("Syntax error");
        errorlevel_ = 1;
        return;
    }
    if (cond != negate) execute(command, batch, out);
}

void BatchInterpreter::do_goto(std::string_view rest, Batch* batch, ShellOutput& out) {
    if (!batch) return;   // outside a batch there is nowhere to go
    std::string label = trim_blanks(rest);
    if (!label.empty() && label[0] == ':') label.erase(0, 1);
    std::string_view lv = label;
    label = take_token(lv);
    if (!batch->path.empty() && !fs().read_all(batch->path, batch->text)) {
        out.line("Batch file missing");
        batch->done = true;
        return;
    }
    const std::string& text = batch->text;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        std::size_t after = nl == std::string::npos ? text.size() : nl + 1;
        std::string line = trim_blanks(std::string_view(text).substr(pos, after - pos));
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (!line.empty() && line[0] == ':') {
            std::string_view name = std::string_view(line).substr(1);
            if (!label.empty() && equal_nocase(take_token(name), label)) {
                batch->next = after;
                return;
            }
        }
        pos = after;
    }
    out.line("Label not found");
    errorlevel_ = 1;
    batch->done = true;
}

void BatchInterpreter::do_call(std::string_view rest, Batch* batch, ShellOutput& out) {
    std::string line = trim_blanks(rest);
    if (line.empty()) return;
    auto cw = split_command_word(line);
    if (is_builtin(cw.word)) {
        dispatch(line, batch, out);
        return;
    }
    run_program(cw.word, cw.rest, batch, true, out);
}

void BatchInterpreter::do_exit(const std::vector<std::string>& args) {
    for (auto& a : args)
        if (all_digits(a)) {
            errorlevel_ = std::stoi(a.substr(0, 9));
            break;
        }
    exit_ = true;
}

void BatchInterpreter::run_program(const std::string& word, const std::string& rest, Batch* batch, bool call,
                                   ShellOutput& out) {
    auto args = split_arguments(rest);
    std::string base = lower(base_name(word));
    if (base == "winrar" || base == "winrar.exe") {
        errorlevel_ = run_unpacker(args, out);
        return;
    }
    std::string ext = upper(extension_of(word));
    std::vector<std::string> candidates;
    if (ext.empty())
        candidates = {word + ".COM", word + ".EXE", word + ".BAT"};
    else if (ext == ".BAT" || ext == ".COM" || ext == ".EXE")
        candidates = {word};
    for (auto& c : candidates) {
        if (!fs().is_file(c)) continue;
        if (upper(extension_of(c)) != ".BAT") {
            // Only batch files and the built-in unpacker run in the emulated DOS world.
            out.line("Cannot execute " + c);
            errorlevel_ = 1;
            return;
        }
        std::vector<std::string> params{word};
        params.insert(params.end(), args.begin(), args.end());
        run_batch_file(c, std::move(params), out);
        // Started without "call", the new batch takes the place of the one that started it.
        if (batch && !call) batch->done = true;
        return;
    }
    out.line("Bad command or file name");
    errorlevel_ = 1;
}

}  // namespace qaro::shell
