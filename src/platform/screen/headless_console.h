// Headless console: keys from a key script, screen dumps to a file.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/screen/console.h"
#include "platform/screen/key_script.h"

namespace qaro {

// The line that follows each 25-row dump.
inline constexpr std::string_view kScreenDumpSeparator =
    "================================================================================";

class HeadlessConsole : public Console {
public:
    // dump_path "": no dumps. The dump file is appended to, never truncated.
    HeadlessConsole(std::vector<ScriptItem> items, std::string dump_path);

    // A console playing the key script text; throws std::invalid_argument when it does not parse.
    static std::unique_ptr<HeadlessConsole> from_script(std::string_view script, std::string dump_path = "");

    void show(const ScreenModel&) override {}
    int read_key(const ScreenModel& screen) override;
    int poll_key(int) override { return 0; }
    void set_title(std::string_view utf8) override { title_ = std::string(utf8); }
    void restore() override {}

    const std::string& title() const { return title_; }
    std::size_t waits() const { return waits_; }
    // What happens when a key is needed and the script is empty. The default prints
    // "key script exhausted" on stderr and exits with kExitKeyScriptExhausted.
    std::function<void()> on_exhausted;

    // The 25 rows as UTF-8 lines, each ended by '\n', under the selected standard.
    static std::string dump_text(const ScreenModel& screen);

private:
    std::deque<ScriptItem> items_;
    std::deque<int> typed_;   // keys of a Text item not yet read
    std::string dump_path_;
    std::string title_;
    std::size_t waits_ = 0;
};

}  // namespace qaro
