// The text-mode console the screen kit draws on: a real terminal (ncurses) or, for tests and
// automation, a headless console fed by a key script.
//
// Choice at the first call of console():
//   QARO_KEYS=FILE set      -> headless: keys from FILE; QARO_SCREEN=FILE appends a dump of the
//                              screen at every key wait;
//   stdin and stdout are terminals -> ncurses terminal;
//   otherwise               -> "no terminal and no key script" on stderr, exit code 4.
// The terminal is restored at exit, after an uncaught exception and on fatal signals.
#pragma once

#include <memory>
#include <string_view>

#include "platform/screen/screen_model.h"

namespace qaro {

// Exit codes of the console.
constexpr int kExitKeyScriptExhausted = 3;   // headless: the key script ran out ("key script exhausted")
constexpr int kExitNoConsole = 4;            // neither a terminal nor a key script

class Console {
public:
    virtual ~Console() = default;
    // Makes the model visible (terminal refresh; nothing for headless).
    virtual void show(const ScreenModel& screen) = 0;
    // Waits for one key with the model on screen (headless: dumps it first).
    virtual int read_key(const ScreenModel& screen) = 0;
    // A key typed within `milliseconds`, else 0. Headless: always 0 (script keys are only
    // taken by real waits).
    virtual int poll_key(int milliseconds) = 0;
    virtual void set_title(std::string_view utf8) = 0;
    // Hands the terminal back (idempotent).
    virtual void restore() = 0;
};

// The run's console, chosen from the environment on first use.
Console& console();
// Installs a console (tests); nullptr drops the current one so that the next console() chooses again.
void set_console(std::unique_ptr<Console> c);
// The terminal backend, or nullptr when ncurses cannot start on this terminal.
std::unique_ptr<Console> make_terminal_console();

}  // namespace qaro
