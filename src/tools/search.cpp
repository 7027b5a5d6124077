#include "tools/search.h"

#include <cctype>

#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"

namespace qaro {

namespace {

constexpr int kMaxDepth = 10;            // the start directory is depth 0
constexpr std::size_t kMaxPath = 64;     // with the trailing backslash
constexpr int kSearchColours = 38;
constexpr std::size_t kShownPath = 50;   // width of the "current directory" line

// Centres `s` in `width` columns (cut when longer).
std::string centred(std::string_view s, std::size_t width) {
    if (s.size() >= width) return std::string(s.substr(0, width));
    std::size_t left = (width - s.size()) / 2;
    return std::string(left, ' ') + std::string(s) + std::string(width - s.size() - left, ' ');
}

// A path as it fits the 50-column line: its head, "\...\" and its tail.
std::string shortened(std::string_view path) {
    if (path.size() <= kShownPath) return std::string(path);
    return std::string(path.substr(0, 23)) + "\\...\\" + std::string(path.substr(path.size() - 22));
}

// "D:" and the like: an upper-case letter and a colon, nothing more.
bool bare_drive(std::string_view s) { return s.size() == 2 && s[0] >= 'A' && s[0] <= 'Z' && s[1] == ':'; }

}  // namespace

std::vector<std::string> system_marker_files() { return {"PLACE.DBN", FMEMORXPF("QAROPL.MEM")}; }

std::string GET_SZUK_FIR(int co) {
    // No second search can start from inside this one.
    KeyAction previous = SETKEY(key::kF2, nullptr);
    InputField* field = GETACTIVE();
    const std::string typed = field ? field->text() : std::string();

    std::string result;
    if (co == 1) result = SZUKAJ_FIRMY(typed);
    if (result.empty() && !alltrim(typed).empty()) result = typed;
    // Padded to the field's length, never cut: a found path longer than the field stays whole.
    if (result.size() < typed.size()) result = pad_right(result, typed.size());
    if (field) field->set_text(result);

    SETKEY(key::kF2, std::move(previous));
    return result;
}

std::string SZUKAJ_FIRMY(const Value& sciezka) {
    std::vector<std::string> choices{"wszystkie"};
    std::size_t width = choices[0].size();

    std::string typed = sciezka.is_text() ? alltrim(sciezka.text()) : std::string();
    if (!typed.empty() && typed.back() == '\\') typed.pop_back();
    bool typed_added = false;
    if (!typed.empty() && N_ISDIR(typed) && !bare_drive(typed)) {
        if (typed.size() > width) {
            width = typed.size();
            choices[0] = centred("wszystkie", width);
        }
        choices.push_back(centred(typed, width));
        typed_added = true;
    }
    for (char l = 'C'; l <= 'Z'; ++l)
        if (IS_DRIVE(std::string(1, l))) choices.push_back(centred(std::string(1, l) + ":", width));

    MenuOptions options;
    options.title = "Wybierz Dysk";
    Array items(choices.begin(), choices.end());
    const int choice = MENU(Value(std::move(items)), -1, -1, 1, options);
    if (choice <= 0 || choice > static_cast<int>(choices.size())) return "";

    const std::vector<std::string> markers = system_marker_files();
    auto search = [&](const std::string& entry) { return SCAN_DRIVE(alltrim(entry) + "\\", markers); };
    std::string result;
    if (choice == 1) {
        // "All" means the drives only, not the typed directory.
        for (std::size_t i = typed_added ? 2 : 1; i < choices.size(); ++i) {
            result = search(choices[i]);
            if (!result.empty()) break;
        }
    } else {
        result = search(choices[static_cast<std::size_t>(choice - 1)]);
    }
    if (result == kSearchInterrupted) result.clear();
    return result;
}

std::string SCAN_DRIVE(std::string_view path, const std::vector<std::string>& file, std::optional<int> zaglebienie) {
    const bool top = !zaglebienie.has_value();
    const int depth = top ? 0 : *zaglebienie + 1;
    int previous_set = 0;
    WindowHandle window = kNoWindow;
    if (top) {
        previous_set = K_SET_ZESTAW(kSearchColours);
        K_NORM();
        window = ROZWIN(-2, 10, 10, 14, 69, "Trwa przeszukiwanie .... ", kSearchColours);
        say(12, 15, centred("Aktualnie przeszukiwany katalog:", kShownPath));
        STATLINE("ESC-przerwanie");
    }

    std::string dir = alltrim(path);
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    std::vector<std::string> names;
    names.reserve(file.size());
    for (const auto& f : file) names.push_back(alltrim(f));

    std::string result;
    bool examine = depth <= kMaxDepth;
    if (INKEY(0.01) == key::kEsc) {
        result = kSearchInterrupted;
        examine = false;
    } else if (dir.size() > kMaxPath) {
        examine = false;   // neither examined nor entered
    }

    if (examine) {
        K_BOLD();
        say(13, 15, centred(shortened(dir), kShownPath));
        K_NORM();
        bool taken = false;
        if (IF_FILES(dir, names)) {
            Array lines{Value("System firma zostal` znaleziony w katalogu:"), Value("\"" + dir + "\"")};
            if (DECYZJA(false, "Czy kontunuowac` przeszukiwanie ?", {}, {}, Value(std::move(lines)))) {
                result.clear();
            } else {
                result = dir;
                taken = true;
            }
        }
        if (!taken) {
            for (const auto& e : fs().list(dir + "*.*", attr::kDirectory)) {
                std::string name = alltrim(e.name);
                if (name == "." || name == ".." || !(e.attributes & attr::kDirectory)) continue;
                result = SCAN_DRIVE(dir + name + "\\", names, depth);
                if (!result.empty()) break;
            }
        }
    }

    if (top) {
        K_SET_ZESTAW(previous_set);
        ZWIN(window);
        STATLINE(-1);
        if (result == kSearchInterrupted) KOM3("Przeszukiwanie katalogo`w zostal`o przerwane przez ux`ytkownika");
    }
    return result;
}

std::string FIRST_DRIVE() {
    for (char l = 'C'; l <= 'Z'; ++l)
        if (IS_DRIVE(std::string(1, l))) return std::string(1, l) + ":\\";
    return "";
}

bool IS_DRIVE(std::string_view symbol) {
    if (symbol.empty()) return false;
    const char l = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
    if (l < 'A' || l > 'Z') return false;
    // On DOS a drive counts when its root lists anything, the volume label included. The
    // emulated drives carry no label, so a mapped drive counts even while its root is empty.
    return fs().drive_available(l);
}

bool N_ISDIR(std::string_view path) {
    return !fs().list(add_backslash(path) + "*.*", attr::kHidden | attr::kSystem | attr::kDirectory).empty();
}

bool IF_FILES(std::string_view path, const std::vector<std::string>& file) {
    for (const auto& name : file)
        if (!fs().exists(join_path(path, name))) return false;
    return true;
}

}  // namespace qaro
