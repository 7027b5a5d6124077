#include "tools/module_menu.h"

#include "platform/screen/kit.h"

namespace qaro {

namespace {

constexpr int kMenuColours = 38;
constexpr std::size_t kItemWidth = 20;
constexpr const char* kHandlerName = "klaw_men()";
// Letters that close the menu so that it reopens on the same item; D and d stay with the menu.
constexpr std::string_view kClosingLetters = "ABCEFGHIJKLMNOPQRSTUVWXYZabcefghijklmnopqrstuvwxyz";

Value as_items(const std::vector<std::string>& lines) { return Value(Array(lines.begin(), lines.end())); }

}  // namespace

const std::vector<std::string>& module_menu_items() {
    static const std::vector<std::string> items{"Pl`ace",  "Bank",     "Kadry",         "Podatek",
                                                "Pomost", "Zasil`ki", "Umowy zlecenia"};
    return items;
}

std::vector<std::string> PRZYG_OPIS(const std::vector<std::string>& opis, const std::vector<bool>& wybor) {
    std::vector<std::string> lines;
    lines.reserve(opis.size());
    for (std::size_t i = 0; i < opis.size(); ++i) {
        const bool marked = i < wybor.size() && wybor[i];
        lines.push_back(pad_right(" " + P(opis[i]), kItemWidth) + " \xB3 " + (marked ? KODY_RAMEK("*") : " ") + " ");
    }
    return lines;
}

int KLAW_MEN() {
    const int k = LASTKEY();
    const bool letter = k > 0 && k < 256 && kClosingLetters.find(static_cast<char>(k)) != std::string_view::npos;
    if (k == key::kCtrlW || K_CLOSE(k) || k == key::kEnter || k == key::kIns || letter) {
        KEYBOARD(std::string(1, '\0'));
        return 1;
    }
    if (k == key::kEsc) {
        KEYBOARD(std::string(1, '\0'));
        return 0;
    }
    return 2;
}

std::string WYBIERZ_MOD(WindowHandle okno) {
    register_key_handler(kHandlerName, KLAW_MEN);
    const auto& items = module_menu_items();
    const int count = static_cast<int>(items.size());

    const int previous_set = K_SET_ZESTAW(kMenuColours);
    K_NORM();
    std::vector<bool> marks(items.size(), false);
    std::vector<std::string> lines = PRZYG_OPIS(items, marks);
    int current = 1;
    STATLINE("Enter/Ins-Wybor,Ctrl+W/Ctrl+Enter-Zatwierdzenie,Esc-Wyjscie,\x18\x19-Poruszanie");

    for (;;) {
        MenuOptions options;
        options.window = &okno;   // made by the first showing, reused by the next ones
        options.handler_name = kHandlerName;
        options.title = "Wybo`r instalowanych modul`o`w";
        options.colour_set = K_SPEC_MEN(0, 36);
        options.hint = "Ins-Zaznacz/Odznacz";
        options.end_keys = {key::kIns};
        const int chosen = MENU(as_items(lines), -1, -1, current, options);
        const int k = LASTKEY();
        if (chosen == 0 || k == key::kEsc || k == key::kCtrlW || K_CLOSE(k)) break;
        if (chosen >= 1 && chosen <= count) {
            current = chosen;   // a letter key reopens the menu on the item it closed on
            if (k == key::kIns || k == key::kEnter) {
                marks[static_cast<std::size_t>(chosen - 1)] = !marks[static_cast<std::size_t>(chosen - 1)];
                lines = PRZYG_OPIS(items, marks);
                current = chosen + 1;
            }
        }
        if (current > count) current = 1;
    }

    ZWIN(okno);
    K_SET_ZESTAW(previous_set);
    STATLINE(-1);
    if (LASTKEY() == key::kEsc) return "";
    std::string letters;
    for (int i = 0; i < count; ++i)
        if (marks[static_cast<std::size_t>(i)]) letters += kModuleLetters[static_cast<std::size_t>(i)];
    return letters;
}

}  // namespace qaro
