#include "tools/staging.h"

#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "tools/package.h"

namespace qaro {

namespace {
constexpr std::string_view kModuleOrder = "PBKOTZU";

// Variable files travel in the current format: a ".MEM" name becomes its ".XPF" form.
std::string current_name(std::string_view name) { return FMEMORXPF(name); }
}  // namespace

std::string DAJMODUL(std::string_view modul) {
    static const std::pair<const char*, const char*> names[] = {
        {"P", "PLACE"}, {"B", "BANK"}, {"K", "KADRY"}, {"O", "PODATEK"}, {"T", "POMOST"}, {"Z", "ZUS"},
        {"U", "UMZLEC"}, {"A", "ARKUSZ"}, {"R", "KARTA"}, {"I", "INST"}, {"M", "MASTER"}};
    for (auto& [letter, name] : names)
        if (modul == letter) return name;
    return "";
}

std::vector<std::pair<std::string, std::string>> main_staging_list(std::string_view modules, std::string_view mode) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"master.0", "$m.rar"},
        {"warunki.ins", "warunki.ins"},
        {"licencja.ins", "licencja.ins"},
        {current_name("qaropl.mem"), current_name("qaropl.mem")},
        {"winrar.exe", "winrar.exe"},
        {"default.sfx", "default.sfx"},
        {"DOSPRINT.0", "$DP.rar"},
        {"DLL.0", "$DL.rar"},
    };
    if (mode == "K") {
        rows.push_back({"xfbis.bat", "bis.bat"});
        rows.push_back({"xbazy", "$y.rar"});
    } else if (mode == "U") {
        rows.push_back({"xubis.bat", "bis.bat"});
        rows.push_back({"modyf.uzu", "$f.rar"});
    }
    for (char letter : kModuleOrder) {
        if (modules.find(letter) == std::string_view::npos) continue;
        std::string name = DAJMODUL(std::string_view(&letter, 1));
        rows.push_back({name + ".0", std::string("$") + letter + ".rar"});
        std::string cfg = current_name(name + ".MEM");
        rows.push_back({cfg, cfg});
    }
    return rows;
}

bool PRZYG_INST(const Value& /*wersja*/, const Value& /*algorytm*/, std::string_view modules, std::string_view rodzaj,
                std::string_view src, std::string_view dst) {
    auto rows = main_staging_list(modules, rodzaj);
    WindowHandle w = KOM4("przygotowanie pliko`w instalacyjnych.", 8);
    WindowHandle bar = INITDBASE();
    bool ok = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        GODBASE(static_cast<double>(i + 1), static_cast<double>(rows.size()));
        if (!EXTRACT_FILE(rows[i].first, src, dst, rows[i].second)) {
            ok = false;
            break;
        }
    }
    ZWIN(bar);
    ZWIN(w);
    return ok;
}

std::string restart_batch_text(std::string_view dokad, std::string_view flop) {
    std::string source = flop.empty() ? std::string(".") : std::string(flop);
    std::string t = "@$sh.exe\r\n";
    if (!dokad.empty()) {
        std::string dir(dokad);
        if (!dir.empty() && dir.back() == '\\') dir.pop_back();
        t += "@CD " + dir + "\r\n";
        if (dokad.size() >= 2 && dokad[1] == ':') t += "@" + std::string(dokad.substr(0, 2)) + "\r\n";
        t += "@$sh.exe second " + source + "\r\n";
        t += "@del " + std::string(dokad) + "$sh.exe\r\n";
    }
    t += "@rem Prosze nie modyfikowac tego pliku\r\n";
    return t;
}

bool ZMODYFIKUJ_BATCHA(std::string_view dokad, std::string_view flop) {
    std::string source = flop.empty() ? std::string(".") : std::string(flop);
    if (!fs().write_atomic(source + "\\instal.bat", restart_batch_text(dokad, source))) {
        KOM3("Wysta`pil` bl`a`d podczas zapisu danych na dyskietke`.");
        return false;
    }
    return true;
}

}  // namespace qaro
