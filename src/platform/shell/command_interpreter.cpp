#include "platform/shell/command_interpreter.h"

#include <map>

#include "platform/file_system.h"
#include "platform/shell/batch_interpreter.h"
#include "platform/shell/command_line.h"
#include "platform/value.h"

namespace qaro {

namespace {

// The caller's current drive and the current directory of every available drive.
class SavedPlaces {
public:
    SavedPlaces() : drive_(fs().current_drive()) {
        for (char l = 'A'; l <= 'Z'; ++l)
            if (fs().drive_available(l)) dirs_[l] = fs().current_dir(l);
    }
    ~SavedPlaces() {
        for (auto& [l, dir] : dirs_)
            if (fs().current_dir(l) != dir) fs().change_dir(std::string(1, l) + ":\\" + dir);
        fs().set_current_drive(drive_);
    }
    SavedPlaces(const SavedPlaces&) = delete;
    SavedPlaces& operator=(const SavedPlaces&) = delete;

private:
    char drive_;
    std::map<char, std::string> dirs_;
};

bool can_start() { return fs().drive_available(fs().current_drive()) && fs().is_dir("."); }

}  // namespace

int run_command_interpreter(std::string_view arguments) { return run_command_interpreter(arguments, nullptr); }

int run_command_interpreter(std::string_view arguments, std::string* console) {
    std::string args = shell::trim_blanks(arguments);
    if (args.size() < 2 || args[0] != '/' || (upper(args.substr(1, 1)) != "C" && upper(args.substr(1, 1)) != "K"))
        return -1;
    if (!can_start()) return -1;
    SavedPlaces saved;
    shell::BatchInterpreter interpreter{shell::ShellOutput(console)};
    interpreter.run_line(args.substr(2));
    return interpreter.errorlevel();
}

int run_batch_text(std::string_view text, std::string* console) {
    if (!can_start()) return -1;
    SavedPlaces saved;
    shell::BatchInterpreter interpreter{shell::ShellOutput(console)};
    interpreter.run_text(text);
    return interpreter.errorlevel();
}

}  // namespace qaro
