#include "instal/input_dir.h"

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "tools/search.h"

namespace qaro {

namespace {

constexpr int kFieldWidth = 60;

// An installed system: the catalog and the current-format qaropl variable file.
bool holds_system(const std::string& dir) {
    return fs().exists(dir + "place.dbn") && fs().exists(dir + FMEMORXPF("qaropl.mem"));
}

void enter_directory(const std::string& dir) {
    CHANGEDISK(dir[0]);
    CHANGEDIR(strip_backslash(dir));
}

}  // namespace

std::string scratch_dir_name() {
    std::string s = str_number(static_cast<double>(seconds_since_midnight()), 10, 2);
    return alltrim(s);
}

bool INPUTDIR(std::string& dokad, std::string& rob) {
    int previous_set = K_SET_ZESTAW(38);
    WindowHandle info = KOM5(
        Value(Array{Value("Wprowadz` pel`na` s`ciex`ke` do kartoteki systemu \xAFqaroVORANTA\xAE."),
                    Value("W przypadku instalacji pierwszego modul`u musi to byc` kartoteka pusta."),
                    Value("Przy aktualizacji wersji (wariantu) albo uzupel`nienia systemu"),
                    Value("o nowy program nalex`y podac` s`ciex`ke` do kartoteki,"),
                    Value("w kto`rej jest zainstalowany system \xAFqaroVORANTA\xAE."), Value(""), Value(""), Value("")}),
        Value(6), Value(0), Value("Wprowadz` kartoteke`"));
    STATLINE("Enter/Ctrl_W-Potwierdzenie,Esc-Rezygnacja,F2-Automatyczne przeszukiwanie");
    bool result = false;
    bool finished = false;
    while (!finished) {
        if (dokad.size() < kFieldWidth) dokad = pad_right(dokad, kFieldWidth);
        std::string before = dokad;
        KeyAction previous_f2 = SETKEY(key::kF2, [] { GET_SZUK_FIR(1); });
        GetList fields;
        fields.emplace_back(18, 10, dokad, kFieldWidth);
        bool confirmed = READMODAL(fields);
        SETKEY(key::kF2, previous_f2);
        if (!confirmed) {   // Esc (or an input ended without confirmation)
            dokad = before;
            finished = DECYZJA(true, "Czy chcesz przerwac` instalacje` ?");
            continue;
        }
        dokad = upper(alltrim(dokad));
        if (dokad.empty() || dokad.back() != '\\') dokad += '\\';
        if (dokad.size() < 2 || dokad[1] != ':') {
            KOM3("Nalex`y okres`lic` bezwzgle`dna` s`ciex`ke` do kartoteki !", 0, 0, 3);
            continue;
        }
        std::string bare = strip_backslash(dokad);
        if (ISDIR(bare)) {
            if (!TABFILES(dokad + "*.*").empty()) {
                if (holds_system(dokad)) {
                    if (!DECYZJA(false, "Czy system zostal` skopiowany ?", Value(0), Value(0),
                                 Value(Array{Value("Przed przysta`pieniem do aktualizacji systemu"),
                                             Value("KONIECZNE JEST WYKONANIE JEGO KOPII ZAPASOWEJ !")}))) {
                        finished = true;
                        result = false;
                    } else {
                        enter_directory(dokad);
                        rob = dokad + scratch_dir_name();
                        MAKEDIR(rob);
                        MAKEDIR(dokad + "exe");
                        rob += '\\';
                        result = finished = true;
                    }
                } else {
                    KOM3(Value(Array{Value("Kartoteka " + dokad + " nie jest pusta,"),
                                     Value("jednak nie jest w niej zainstalowany system \xAFqaroVORANTA\xAE !")}),
                         0, 0, 3);
                }
            } else {
                enter_directory(dokad);
                MAKEDIR(dokad + "exe");
                result = finished = true;
            }
        } else if (DECYZJA(false, "Czy utworzyc` kartoteke` ?", Value(0), Value(0),
                           Value("Kartoteka " + dokad + " nie istnieje !"))) {
            if (MAKEDIR(bare) == 0) {
                result = finished = true;
            } else {
                KOM3("Bl`a`d podczas tworzenia kartoteki !", 0, 0, 3);
            }
        }
    }
    ZWIN(info);
    K_SET_ZESTAW(previous_set);
    STATLINE(Value(-1));
    return result;
}

}  // namespace qaro
