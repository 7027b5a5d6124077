#include "platform/screen/console.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>

#include "platform/screen/headless_console.h"
#include "platform/screen/key_script.h"

namespace qaro {
namespace {

std::unique_ptr<Console> g_console;
bool g_hooks_installed = false;

void restore_console() {
    if (g_console) g_console->restore();
}

void on_fatal_signal(int sig) {
    restore_console();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// The terminal must come back in every way the program can end.
void install_exit_hooks() {
    if (g_hooks_installed) return;
    g_hooks_installed = true;
    std::atexit(restore_console);
    static std::terminate_handler previous = std::set_terminate([] {
        restore_console();
        if (previous) previous();
        std::abort();
    });
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE})
        std::signal(sig, on_fatal_signal);
}

[[noreturn]] void fail(const std::string& message, int code) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(code);
}

std::unique_ptr<Console> choose_console() {
    const char* keys = std::getenv("QARO_KEYS");
    if (keys && *keys) {
        std::ifstream in(keys, std::ios::binary);
        if (!in) fail(std::string("cannot read the key script ") + keys, kExitKeyScriptExhausted);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string error;
        auto items = parse_key_script(ss.str(), error);
        if (!items) fail(std::string("key script ") + keys + ": " + error, kExitKeyScriptExhausted);
        const char* dump = std::getenv("QARO_SCREEN");
        return std::make_unique<HeadlessConsole>(std::move(*items), dump ? dump : "");
    }
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        if (auto t = make_terminal_console()) return t;
        fail("the terminal cannot be used as a text screen (TERM=" +
                 std::string(std::getenv("TERM") ? std::getenv("TERM") : "") + ")",
             kExitNoConsole);
    }
    fail("no terminal and no key script: run on a terminal or set QARO_KEYS to a key script",
         kExitNoConsole);
}

}  // namespace

Console& console() {
    if (!g_console) {
        g_console = choose_console();
        install_exit_hooks();
    }
    return *g_console;
}

void set_console(std::unique_ptr<Console> c) {
    if (g_console) g_console->restore();
    g_console = std::move(c);
    if (g_console) install_exit_hooks();
}

}  // namespace qaro
