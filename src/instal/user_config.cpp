#include "instal/user_config.h"

#include "platform/cipher.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"

namespace qaro {

int USTAW_PL() {
    int choice = ALERT("Wybierz standard polskich znakow",
                       Value(Array{Value("Mazowia"), Value("Latin 2"), Value("Brak polskich znakow")}), 3, Value(),
                       Value(), Value(), Value(), Value(), "Standard polskich znako`w");
    int standard = choice == 1 ? 1 : choice == 2 ? 2 : 4;
    PLCHANGE(DAJ_POL(standard));
    return standard;
}

std::string INPUTUSER() {
    int previous = K_SET_ZESTAW(38);
    std::string name(30, ' ');
    WindowHandle w = ROZWIN(-2, 10, 20, 15, 60, "Wprowadz` nazwe` ux`ytkownika systemu:", 38);
    bool edited = false;
    while (!edited || alltrim(name).empty()) {
        GetList fields;
        fields.emplace_back(13, 26, name, 30);
        STATLINE("Enter/Ctrl_W-Potwierdzenie");
        READMODAL(fields);
        STATLINE(Value(-1));
        edited = true;
        if (alltrim(name).empty()) KOM3("Nazwa ux`ytkownika nie mox`e pozostac` pusta !", 0, 0, 3);
    }
    ZWIN(w);
    K_SET_ZESTAW(previous);
    return alltrim(name);
}

std::string version_tail(std::string_view plain_header) {
    auto i = plain_header.find("/wer.");
    return i == std::string_view::npos ? std::string() : alltrim(plain_header.substr(i));
}

std::string CZYT_USER(std::string_view dokad, std::string_view pliczek) {
    restore_variables(std::string(dokad) + std::string(pliczek));
    std::string plain = SZYFR(variables().get("pikheader").text());
    auto comma = plain.find(',');
    std::string rest = comma == std::string::npos ? plain : plain.substr(comma + 1);
    auto wer = rest.find(" /wer. ");
    if (wer != std::string::npos) rest.resize(wer);
    return alltrim(rest);
}

void PISZ_CONFIG_MEM(std::string_view plik, std::string_view user, std::string_view modul) {
    // Only this file's own pik variables are written back: those of a configuration file
    // loaded earlier in the run must not move into this one. A file that cannot be read is
    // left as it is rather than replaced by a header alone.
    variables().release("pik*");
    if (!restore_variables(plik)) return;
    std::string tail = version_tail(SZYFR(variables().get("pikheader").text()));
    std::string plain = "System qaroVORANTA program " + std::string(modul) + ", " + std::string(user) + " " + tail;
    variables().set("pikheader", Value(ZASZYFR(plain)), Scope::Public);
    save_variables(plik, "pik*");
}

void INSTALUJ(const Value& /*opis*/, std::string_view skad, std::string_view dokad) {
    // Names are compared without regard to letter case: the package stores upper-case names, so
    // a case-sensitive test would miss the configuration files and the qaropl file.
    const std::string ext = upper(MEMORXPF());
    const std::string qaropl = upper(FMEMORXPF("QAROPL.MEM"));
    for (auto& name : TABFILES(std::string(skad) + "*.*")) {
        std::string up = upper(name);
        if (up.find(ext) == std::string::npos && up.find(".TXT") == std::string::npos) continue;
        std::string target = std::string(dokad) + name;
        if (!fs().exists(target) || up == qaropl) COPYFILE(std::string(skad) + name, target, true);
    }
}

}  // namespace qaro
