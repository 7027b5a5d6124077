#include "platform/screen/headless_console.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/screen/key_codes.h"
#include "platform/screen/polish_text.h"

namespace qaro {

HeadlessConsole::HeadlessConsole(std::vector<ScriptItem> items, std::string dump_path)
    : items_(items.begin(), items.end()), dump_path_(std::move(dump_path)) {
    on_exhausted = [] {
        std::fflush(stdout);
        std::fputs("key script exhausted\n", stderr);
        std::exit(kExitKeyScriptExhausted);
    };
}

std::unique_ptr<HeadlessConsole> HeadlessConsole::from_script(std::string_view script, std::string dump_path) {
    std::string error;
    auto items = parse_key_script(script, error);
    if (!items) throw std::invalid_argument("key script: " + error);
    return std::make_unique<HeadlessConsole>(std::move(*items), std::move(dump_path));
}

std::string HeadlessConsole::dump_text(const ScreenModel& screen) {
    std::string out;
    for (int r = 0; r < kScreenRows; ++r) {
        out += screen.row_utf8(r, polish_standard());
        out += '\n';
    }
    return out;
}

int HeadlessConsole::read_key(const ScreenModel& screen) {
    ++waits_;
    if (!dump_path_.empty()) {
        std::ofstream out(dump_path_, std::ios::app | std::ios::binary);
        out << dump_text(screen) << kScreenDumpSeparator << '\n';
    }
    for (;;) {
        if (!typed_.empty()) {
            int k = typed_.front();
            typed_.pop_front();
            return k;
        }
        if (items_.empty()) {
            on_exhausted();
            return key::kEsc;   // only reached when the handler returns (tests)
        }
        ScriptItem item = std::move(items_.front());
        items_.pop_front();
        switch (item.kind) {
            case ScriptItem::Kind::Key: return item.key;
            case ScriptItem::Kind::Command:
                std::fflush(stdout);
                if (std::system(item.text.c_str()) == -1)
                    std::fprintf(stderr, "key script: cannot run %s\n", item.text.c_str());
                break;
            case ScriptItem::Kind::Text:
                // Converted at the moment of typing, so that the selected standard applies.
                for (char c : utf8_to_oem(item.text, polish_standard()))
                    typed_.push_back(static_cast<unsigned char>(c));
                break;
        }
    }
}

}  // namespace qaro
