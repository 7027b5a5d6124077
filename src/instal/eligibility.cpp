#include "instal/eligibility.h"

#include "instal/services/db_open.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/table/work_area.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"

namespace qaro {

namespace {
void cannot_open_catalog() {
    KOM3(Value(Array{Value("Brak mox`liwos`ci otwarcia pliku place.dbn"), Value("Instalacja zostanie przerwana.")}));
}
}  // namespace

bool SPR_CZY_MOZNA(std::string_view dokad) {
    bool result = true;
    int remembered = work_areas().selected();
    std::string catalog = std::string(dokad) + "place.dbn";
    if (!fs().exists(catalog)) {
        cannot_open_catalog();
        result = false;
    }
    if (result) {
        if (DB_OPEN(catalog, Value(false), Value("PLACKI"))) {
            // The first record not marked deleted, whatever the run's deleted-records switch.
            auto& area = work_areas().current();
            std::string mark;
            for (area.go_top(); !area.eof(); area.skip()) {
                if (!area.deleted()) {
                    mark = area.get("UWAGI").text();
                    break;
                }
            }
            if (alltrim(mark) != "Konwersja ok") {
                KOM3(Value(Array{Value("Zainstalowana wersja systemu \"qaroVORANTA\""),
                                 Value("jest zbyt stara aby uruchomic` to uaktualnienie."),
                                 Value("Konieczne jest zainstalowanie wersji pos`redniej."),
                                 Value("Prosze skontaktowac` sie` z firma` \"NEXO VORANTA\"")}));
                result = false;
            }
            DB_CLOSE(Value("PLACKI"));
        } else {
            cannot_open_catalog();
            result = false;
        }
    }
    work_areas().select(remembered);
    return result;
}

void AKTWERSJA(std::string_view kat_prog) {
    std::string dir(kat_prog);
    if (dir.size() < 3 || dir[1] != ':' || dir.back() != '\\' || !fs().is_dir(dir + "EXE")) return;
    std::string record = dir + "EXE\\wersja.xpf";
    Date now = today();
    auto& v = variables();
    v.set("inst_dat", Value(now));
    v.set("inst_nr", Value(0));
    v.set("inst_nr_vor", Value(0));
    // A damaged record counts as a missing one: it is written anew.
    if (fs().exists(record) && RESTFROM(record, false)) {
        Date stored = v.get("inst_dat").date();
        if (stored > now) {
            KOM3(Value(Array{Value("Data wersji zainstalowanego oprogramowania jest nowsza"),
                             Value("od wersji, kto`ra jest aktualnie instalowana"),
                             Value("Sprawdz` ustawienia daty systemowej.")}));
        } else if (stored == now) {
            v.set("inst_nr", Value(v.get("inst_nr").number() + 1));
        } else {
            v.set("inst_dat", Value(now));
        }
    } else {
        v.set("inst_dat", Value(now));
        v.set("inst_nr", Value(0));
    }
    v.set("inst_nr_vor", Value(0));
    save_variables(record, "inst_*");
}

}  // namespace qaro
