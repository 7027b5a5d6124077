#include "instal/sequence.h"

#include "instal/eligibility.h"
#include "instal/input_dir.h"
#include "instal/run_variables.h"
#include "instal/services/leave_sequence.h"
#include "instal/services/unpacker_run.h"
#include "instal/user_config.h"
#include "modyfik/modyfik.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/table/work_area.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"
#include "tools/cleanup.h"
#include "tools/fonts.h"
#include "tools/media.h"
#include "tools/module_menu.h"
#include "tools/package.h"
#include "tools/search.h"
#include "tools/staging.h"
#include "xinstal/conversion_walk.h"

namespace qaro {

namespace {

// The unattended form of the command line, once recognised.
struct Unattended {
    std::string directory;
    std::string modules;
    bool network = false;
};

bool nonempty_text(const std::optional<std::string>& p) { return p && !p->empty(); }

const char* const kInstallTitle = "Instalacja systemu \xAFqaroVORANTA\xAE/wersja 27.10";

class Sequence {
public:
    Sequence(const Params& p, RunState& st) : p_(p), st_(st) {}

    void run() {
        try {
            if (st_.second ? phase_b() : phase_a()) phase_m();
        } catch (const LeaveSequence&) {
            // A called step ended the sequence itself; przerwane stays as it is.
            restore_saved_variables();
        }
        close_summary();
    }

private:
    bool abort() {
        st_.przerwane = true;
        return false;
    }
    std::string dokad() const { return run::text("_dokad"); }

    // ---- phase A: first stage ----
    bool phase_a() {
        bool dd = false;
        bool cd = CD_EDITION(dd);
        run::set("__CD__", Value(cd));
        run::set("__DD__", Value(dd));
        if (dd && !ZMODYFIKUJ_BATCHA("")) return abort();
        if (cd && !dd) recognise_unattended();
        bool pomin = run::flag("__POMIN__");

        if (!pomin && cd) {
            int standard = USTAW_PL();
            variables().set("p_pol", Value(standard), Scope::Public);
            std::string terms;
            if (READFILE("licencja.txt", terms) &&
                !EDYT_OPIS(terms, "Warunki licencji", Value(), false, false, false, 80,
                           "Czy akceptujesz warunki licencji ?",
                           Value(Array{Value("Kontynuacja instalacji jest traktowana jako zapoznanie sie`"),
                                       Value("i zaakceptowanie warunko`w licencji oprogramowania!")})))
                return abort();
        }

        // Source drive.
        std::string flop;
        if (!cd) {
            if (!nonempty_text(p_[1])) {
                KOM3("Bl`a`d w okres`leniu dysku z`ro`dl`owego !");
                return abort();
            }
            flop = upper(p_[1]->substr(0, 1)) + ":";
        } else {
            flop = DISKNAME() + ":";
        }

        // System directory.
        if (!cd) {
            if (!nonempty_text(p_[0])) {
                KOM3("Bl`a`d w okres`leniu dysku docelowego !");
                return abort();
            }
            char letter = upper(p_[0]->substr(0, 1))[0];
            run::set("_dokad", Value(std::string(1, letter) + ":" + E_DIRNAME(letter)));
        } else if (!pomin) {
            run::set("_dokad", Value(FIRST_DRIVE()));
        } else {
            run::set("_dokad", Value(add_backslash(unattended_.directory)));
        }

        // Source directory.
        if (cd || (flop != "A:" && flop != "B:")) {
            std::string dir = E_DIRNAME(flop[0]);
            if (!dir.empty() && dir.back() == '\\') dir.pop_back();
            if (dir.size() > 60) {
                KOM3("Zbyt dl`uga s`ciex`ka, z kto`rej naste`puje instalacja !");
                return abort();
            }
            flop += dir;
        }
        st_.flop = flop;

        if (!dd && !SPRAWDZ_SUME(flop)) return abort();

        if (!pomin) {
            std::string target = dokad();
            std::string rob = run::text("_rob");
            bool accepted = INPUTDIR(target, rob);
            run::set("_dokad", Value(target));
            run::set("_rob", Value(rob));
            if (!accepted) return abort();
            st_.target_known = true;
            if (dd) {
                // Hand-over to the second stage, started from the system directory.
                save_variables(target + FMEMORXPF("instal.mem"), "*");
                COPYFILE(flop + "\\$sh.exe", target + "$sh.exe", true);
                ZMODYFIKUJ_BATCHA(target, flop);
                st_.przerwane = false;
                return false;
            }
            return true;
        }
        return prepare_unattended_target();
    }

    void recognise_unattended() {
        if (!(p_[0] && *p_[0] == "K")) return;
        if (!(p_[1] && (*p_[1] == "S" || *p_[1] == "B"))) return;
        if (!nonempty_text(p_[2]) || !nonempty_text(p_[4])) return;
        unattended_.directory = upper(alltrim(*p_[2]));
        unattended_.modules = upper(*p_[4]);
        unattended_.network = *p_[1] == "S";
        run::set("__POMIN__", Value(true));
    }

    // Unattended: convert an old system in the target, or create the target directory.
    bool prepare_unattended_target() {
        std::string target = dokad();
        std::string bare = strip_backslash(target);
        if (ISDIR(bare)) {
            bool old_system = !TABFILES(target + "*.*").empty() && fs().exists(target + "place.dbn") &&
                              (fs().exists(target + "qaropl.mem") || fs().exists(target + FMEMORXPF("qaropl.mem")));
            if (old_system) {
                CHANGEDISK(target[0]);
                CHANGEDIR(bare);
                saved_variables_ = target + "_VOR_MEM.XPF";
                save_variables(saved_variables_, "*");
                if (fs().exists(target + "PLACE\\PAR_PROG.XPF")) {
                    restore_variables(target + "PLACE\\PAR_PROG.XPF");
                    if (variables().get("p_pol").number() != 2) {
                        KOM3(Value(Array{Value("Instalowana wersja programu wymaga, aby"),
                                         Value("nalex`y przed instalacja` przeprowadzic`"),
                                         Value("konwersje` polskich znako`w do standardu LATIN"),
                                         Value("Dalsza instalacja niemox`liwa!")}));
                        // The run's own variables come back so that the end of the run works on
                        // its real directories; nothing is left behind in the system directory.
                        restore_saved_variables();
                        return abort();
                    }
                }
                bool converted = M2X_E(Value(target));
                restore_saved_variables();
                if (!converted) return abort();
            }
        } else if (MAKEDIR(bare) != 0) {
            KOM3("Bl`a`d podczas tworzenia kartoteki !", 0, 0, 3);
            return abort();
        }
        st_.target_known = true;
        return true;
    }

    // Brings back the run's variables saved around the conversion of an old system and removes
    // the temporary file.
    void restore_saved_variables() {
        if (saved_variables_.empty()) return;
        variables().clear();
        restore_variables(saved_variables_);
        fs().remove_file(saved_variables_);
        saved_variables_.clear();
    }

    // ---- phase B: second stage of a diskette set ----
    bool phase_b() {
        std::string handover = FMEMORXPF("instal.mem");
        if (!fs().exists(handover)) return abort();
        restore_variables(handover);
        fs().remove_file(handover);
        st_.target_known = true;
        return true;
    }

    // ---- phase M: the installation ----
    bool phase_m() {
        bool cd = run::flag("__CD__");
        bool dd = run::flag("__DD__");
        bool pomin = run::flag("__POMIN__");
        std::string flop = st_.flop.value_or("");
        std::string target = dokad();

        if (cd && dd) {
            fs().remove_file(target + "reklama.cfg");
            if (fs().exists(flop + "\\reklama.cfg")) COPYFILE(flop + "\\reklama.cfg", target + "reklama.cfg", true);
            if (!POLACZ_PLIK(flop, target)) return abort();
            flop = target;
            st_.flop = flop;
            if (!SPRAWDZ_SUME(flop)) return abort();
        }
        if (fs().exists(target + "place.dbn") && fs().exists(target + FMEMORXPF("master.mem")) &&
            fs().exists(target + FMEMORXPF("qaropl.mem")))
            st_.user = CZYT_USER(target, FMEMORXPF("master.mem"));
        if (target.size() >= 2 && target[1] == ':') CHANGEDISK(target[0]);
        if (!LISTA_PLIKOW(flop, target)) return abort();

        std::string modules = pomin ? unattended_.modules : WYBIERZ_MOD();
        if (modules.empty()) return abort();
        run::set("__OPIS__", Value(Array{Value(modules), Value(true), Value(), Value(), Value("K")}));
        if (fs().exists(target + "place.dbn") && fs().exists(target + "EXE\\MAST.EXE")) run::set_opis_mode("U");
        std::string mode = run::opis_mode();
        if (mode == "U" && !SPR_CZY_MOZNA(target)) return abort();
        if (!PRZYG_INST(Value(), Value(true), modules, mode, flop, target)) return abort();
        work_areas().current().close();

        std::string skad = target + "_VOR_BAZ\\";
        run::set("_skad", Value(skad));

        DAJ_WZORZEC(Value(), "Usuwanie atrybuto`w READONLY");
        for (auto& name : TABFILES(target + "exe\\*.*"))
            if (fs().exists(target + "exe\\" + name)) E_SETFATTR(target + "exe\\" + name, 32);
        fs().remove_file(target + "exe\\memory.exe");
        if (fs().exists(target + "mp.bat")) E_SETFATTR(target + "mp.bat", 32);
        fs().remove_file(target + "siec");

        STATLINE("Prosze` czekac`. Trwa instalacja ...");
        std::string conditions;
        if (!pomin && READFILE(skad + "warunki.ins", conditions))
            EDYT_OPIS(conditions, "Warunki instalacji", Value(), false, false, false, 80);

        show_summary(modules);
        int choice = pomin ? 1 : MENU(Value(Array{Value("  Instalacja  "), Value("  Rezygnacja  ")}), 11, 54, 1);
        DAJ_WZORZEC(Value(), "");
        if (choice == 2) return abort();

        st_.w_sieci = pomin ? unattended_.network : DECYZJA(false, "Czy system qaroVORANTA be`dzie pracowal` w sieci ?");
        st_.user = alltrim(st_.user);
        if (mode == "K") st_.user = INPUTUSER();

        fs().write_atomic(target + "indeks.ins", "");
        fs().remove_file(target + "readme");
        if (fs().exists(flop + "\\readme")) COPYFILE(flop + "\\readme", target + "readme", true);
        INSTALUJ(variables().get("__OPIS__"), skad, target);
        WYWAL_CDX(target);
        if (cd) {
            DELFILE(target + "PIT\\", "*.*");
            COPYFILE(skad + "winrar.exe", target + "winrar.exe", true);
            COPYFILE(skad + "default.sfx", target + "default.sfx", true);
            RUN_PRG(skad, target, "", "bis", "", "Rozpakowywanie pliko`w systemu qaroVORANTA ...", false, ".bat");
        }
        KOP_FONTY(run::text("_kat_inst"), target);
        if (cd && mode == "U") MODYFIK(true);

        static const std::pair<const char*, const char*> configs[] = {
            {"master.mem", "MASTER"}, {"place.mem", "PL`ACE"},     {"kadry.mem", "KADRY"},
            {"bank.mem", "BANK"},     {"zus.mem", "ZASIL`KI"},     {"podatek.mem", "PODATEK"},
            {"pomost.mem", "POMOST"}, {"umzlec.mem", "UMZLEC"}};
        for (auto& [file, module] : configs) {
            std::string path = target + FMEMORXPF(file);
            if (fs().exists(path)) PISZ_CONFIG_MEM(path, st_.user, module);
        }

        if (!target.empty() && ISDIR(target + "TEMP.VOR")) {
            E_FILEDELETE(target + "TEMP.VOR\\*.*");
            E_REMDIR(target + "TEMP.VOR");
        }
        std::string rob = run::text("_rob");
        if (!rob.empty() && ISDIR(rob)) {
            E_FILEDELETE(rob + "*.*");
            E_REMDIR(rob);
        }
        if (st_.w_sieci) fs().write_atomic(target + "siec", "");
        return true;
    }

    void show_summary(const std::string& modules) {
        background_ = ROZWIN(2, 0, 0, 22, 79, kInstallTitle, 32);
        modules_window_ = ROZWIN(-2, 2, 2, 12, 40, "Modul`y", 38);
        int previous = K_SET_ZESTAW(38);
        K_NORM();
        static const char* const names[] = {"Master       ", "Pl`ace        ", "Bank         ", "Kadry        ",
                                            "Deklaracje   ", "Pomost       ", "Zasil`ki      ", "Umowy zlecenia"};
        static const char letters[] = " PBKOTZU";
        for (int i = 0; i < 8; ++i) {
            bool marked = i == 0 || modules.find(letters[i]) != std::string::npos;
            say(4 + i, 4, pad_right(P(names[i]), 23) + (marked ? KODY_RAMEK("*") : std::string(" ")));
        }
        K_BOLD(-1);
        for (int row = 4; row <= 11; ++row) say(row, 25, "\xB3");
        K_SET_ZESTAW(previous);
    }

    void close_summary() {
        ZWIN(modules_window_);
        ZWIN(background_);
        modules_window_ = background_ = kNoWindow;
    }

    const Params& p_;
    RunState& st_;
    Unattended unattended_;
    std::string saved_variables_;
    WindowHandle background_ = kNoWindow;
    WindowHandle modules_window_ = kNoWindow;
};

void closing_box() {
    KOM5(Value(Array{Value("Instalacja systemu \xAFqaroVORANTA\xAE zostal`a zakon`czona."), Value(""),
                     Value("Nacis`nij dowolny klawisz ...")}),
         Value(3), Value(), Value("Zakon`czenie instalacji ..."), Value(), Value(38), Value(true));
}

// Phase E: what follows the sequence in every case. Returns the exit code.
int finish(RunState& st) {
    bool dd = run::flag("__DD__");
    bool cd = run::flag("__CD__");
    std::string target = run::text("_dokad");
    // Before the system directory is settled there is nothing of the run's to record, change
    // to or remove.
    if (st.target_known) AKTWERSJA(target);
    bool handed_over = dd && !st.second && !st.przerwane;
    if (!handed_over && st.target_known) {
        std::string rob = run::text("_rob");
        if (!rob.empty()) E_REMDIR(rob);
        if (target.size() >= 2 && target[1] == ':') CHANGEDISK(target[0]);
        CHANGEDIR(strip_backslash(target));
        if (cd) {
            std::string skad = run::text("_skad");
            POSPRZATAJ(variables().get("__OPIS__"), skad, target);
            if (!skad.empty()) E_REMDIR(skad);
        }
    }
    work_areas().close_all();
    work_areas().select(1);
    clear_screen();
    set_pos(0, 0);
    READKILL(true);
    set_cursor(true);
    reset_colours();

    if (handed_over) {
        K_CLEAR(1);
        return 0;
    }
    if (dd && st.target_known) fs().remove_file(target + "qarovor.dat");
    clear_screen();
    set_pos(0, 0);
    STARY_GEN();
    set_pos(22, 79);
    closing_box();
    return 1;
}

}  // namespace

int run_installation(const Params& params, RunState& st) {
    Sequence(params, st).run();
    return finish(st);
}

}  // namespace qaro
