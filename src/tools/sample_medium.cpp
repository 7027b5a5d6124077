#include "tools/sample_medium.h"

#include <functional>
#include <vector>

#include "platform/cipher.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/shell/archive_writer.h"
#include "platform/table/dbf_table.h"
#include "platform/table/work_area.h"
#include "platform/variable_store.h"
#include "tools/package_format.h"
#include "tools/staging.h"

namespace qaro {

namespace {

constexpr const char* kVersionTail = "/wer. 27.10";
constexpr std::string_view kModules = "PBKOTZU";

struct Builder {
    std::string out;      // the CD directory
    std::string work;     // scratch tree that becomes the package
    std::string* error;

    bool fail(const std::string& why) {
        if (error && error->empty()) *error = why;
        return false;
    }
    bool write(const std::string& path, std::string_view bytes) {
        return fs().write_atomic(path, bytes) || fail(path + ": cannot be written");
    }
    // Makes a directory and its missing parents.
    bool mkdirs(const std::string& dir) {
        std::string d = strip_backslash(dir);
        if (d.empty() || fs().is_dir(d)) return true;
        std::string parent = dir_of(d);
        if (!parent.empty() && parent != d && !mkdirs(parent)) return false;
        return fs().make_dir(d) || fail(d + ": cannot be created");
    }

    // A DBF table built through the table engine, its bytes returned for an archive.
    bool table(const std::string& path, const Structure& s,
               const std::vector<std::vector<std::pair<std::string, Value>>>& rows, std::string& bytes) {
        std::string err;
        if (!DbfTable::create(path, s, err)) return fail(path + ": " + err);
        if (!work_areas().open(path, "SAMPLE", false)) return fail(path + ": " + work_areas().error());
        WorkArea& a = work_areas().current();
        for (auto& row : rows) {
            a.append_blank();
            for (auto& [field, value] : row) a.put(field, value);
        }
        a.commit();
        a.close();
        if (!fs().read_all(path, bytes)) return fail(path + ": cannot be read back");
        fs().remove_file(path);
        return true;
    }

    bool config_file(const std::string& path, const std::string& module) {
        VariableSet set;
        set.set("pikheader", Value(ZASZYFR("System qaroVORANTA program " + module + ",  " + kVersionTail)), Scope::Public);
        set.set("pik_kolor", Value(1), Scope::Public);
        set.set("pik_drukarka", Value("LPT1"), Scope::Public);
        return save_variables(path, "*", "", set) || fail(path + ": cannot be written");
    }

    bool zip(const std::string& name, const std::vector<shell::ArchiveInput>& members) {
        std::string err;
        return shell::write_zip(work + "_VOR_BAZ\\" + name, members, &err) || fail(name + ": " + err);
    }

    static std::string program(const std::string& name) {
        return "MZ\x90" + std::string("\0\x03\0\0\0", 5) + "qaroVORANTA " + name + " 27.10\r\n";
    }

    static std::string unpack_batch(const std::string& title, const std::string& database) {
        std::string t = "@echo off\r\nrem " + title + "\r\n";
        auto line = [&](const std::string& archive) {
            t += "if exist _VOR_BAZ\\" + archive + " winrar x -y -o+ -ibck _VOR_BAZ\\" + archive + "\r\n";
        };
        line("$m.rar");
        line(database);
        line("$DP.rar");
        line("$DL.rar");
        for (char l : kModules) line(std::string("$") + l + ".rar");
        return t;
    }

    static std::string copy_batch() {
        std::string t = "@echo off\r\nrem Rozpakowanie programow systemu qaroVORANTA\r\n";
        for (const char* a : {"$M", "$DP", "$DO", "$DL", "$P", "$B", "$K", "$O", "$T", "$Z", "$U"})
            t += std::string("if exist ") + a + ".RAR winrar x -y -o+ -ibck " + a + ".RAR\r\n";
        return t;
    }

    bool build() {
        std::string base = work + "_VOR_BAZ\\";
        if (!mkdirs(out) || !mkdirs(base)) return false;

        // Catalog, path list and a company table of a fresh system.
        Structure catalog = {{"BASE_NAME", 'C', 12, 0},  {"BASE_PATH", 'N', 3, 0},  {"INDEX_NAME", 'C', 100, 0},
                             {"INDEX_KEY", 'C', 254, 0}, {"PODKATALOG", 'L', 1, 0}, {"PRIORYTET", 'N', 4, 0},
                             {"BASE_ALIAS", 'C', 10, 0}, {"UWAGI", 'C', 40, 0}};
        std::string dbn, dbp, przeds;
        if (!table(base + "PLACE.TMP", catalog,
                   {{{"BASE_NAME", Value("PRZEDS")}, {"BASE_PATH", Value(0)}, {"INDEX_NAME", Value("PRZEDS")},
                     {"INDEX_KEY", Value("NAZWA")}, {"PRIORYTET", Value(1)}, {"BASE_ALIAS", Value("PRZEDS")},
                     {"UWAGI", Value("Konwersja ok")}},
                    {{"BASE_NAME", Value("PRACOW")}, {"BASE_PATH", Value(1)}, {"INDEX_NAME", Value("PRACOW")},
                     {"INDEX_KEY", Value("NAZWISKO+IMIE")}, {"PODKATALOG", Value(true)}, {"PRIORYTET", Value(2)},
                     {"BASE_ALIAS", Value("PRACOW")}}},
                   dbn))
            return false;
        if (!table(base + "PATHS.TMP", {{"PATH_TEXT", 'C', 40, 0}},
                   {{{"PATH_TEXT", Value("")}}, {{"PATH_TEXT", Value("place\\")}}, {{"PATH_TEXT", Value("kadry\\")}}}, dbp))
            return false;
        if (!table(base + "FIRMA.TMP", {{"NAZWA", 'C', 60, 0}, {"NIP", 'C', 13, 0}, {"OD_DNIA", 'D', 8, 0}},
                   {{{"NAZWA", Value("Firma Przykladowa")}, {"NIP", Value("000-000-00-00")},
                     {"OD_DNIA", Value(Date::from_ymd(2026, 1, 1))}}},
                   przeds))
            return false;

        std::string master_cfg;
        if (!config_file(base + "MASTER.TMP", "MASTER") || !fs().read_all(base + "MASTER.TMP", master_cfg)) return false;
        fs().remove_file(base + "MASTER.TMP");

        if (!zip("MASTER.0", {{"EXE\\MAST.EXE", program("MAST"), {}, true}, {"EXE\\MASTER.EXE", program("MASTER"), {}, false},
                              {"EXE\\MASTER.DBC", "MASTER definitions\r\n", {}, false}}) ||
            !zip("XBAZY", {{"place.dbn", dbn, {}, false}, {"place.dbp", dbp, {}, false}, {"PRZEDS.DBF", przeds, {}, false},
                           {"master.xpf", master_cfg, {}, false}, {"PLACE\\README.TXT", "Dane placowe\r\n", {}, false}}) ||
            !zip("MODYF.UZU", {{"MODYFIK\\CZYTAJ.TXT", "Material migracji bazy danych\r\n", {}, false}}) ||
            !zip("DOSPRINT.0", {{"EXE\\DOSPRINT.EXE", program("DOSPRINT"), {}, false}}) ||
            !zip("DRORG.0", {{"EXE\\DRORG.EXE", program("DRORG"), {}, false}}) ||
            !zip("DLL.0", {{"EXE\\QAROVOR.DLL", program("DLL"), {}, false}}))
            return false;
        for (char l : kModules) {
            std::string name = DAJMODUL(std::string_view(&l, 1));
            std::string shipped;
            if (!table(base + name + ".TMP", {{"KOD", 'C', 4, 0}, {"OPIS", 'C', 40, 0}},
                       {{{"KOD", Value("0001")}, {"OPIS", Value("Wzorzec modulu " + name)}}}, shipped))
                return false;
            if (!zip(name + ".0", {{"EXE\\" + name + ".EXE", program(name), {}, false},
                                   {"WSPOLNE\\" + name + ".DBF", shipped, {}, false}}))
                return false;
            if (!config_file(base + name + ".XPF", name == "PLACE" ? "PL`ACE" : name == "ZUS" ? "ZASIL`KI" : name) ||
                !write(base + name + ".DBC", name + " definitions\r\n"))
                return false;
        }
        if (!config_file(base + "QAROPL.XPF", "QAROPL") ||
            !write(base + "MASTER.DBC", "MASTER definitions\r\n") ||
            !write(base + "XFBIS.BAT", unpack_batch("Instalacja kompletna systemu qaroVORANTA", "$y.rar")) ||
            !write(base + "XUBIS.BAT", unpack_batch("Aktualizacja systemu qaroVORANTA", "$f.rar")) ||
            !write(base + "XCBIS.BAT", copy_batch()) ||
            !write(base + "WINRAR.EXE", program("WINRAR")) || !write(base + "DEFAULT.SFX", program("SFX")) ||
            !write(base + "LICENCJA.INS", "Licencja systemu qaroVORANTA (kopia w systemie).\r\n") ||
            !write(base + "WARUNKI.INS",
                   "Warunki instalacji systemu qaroVORANTA\r\n\r\n"
                   "1. Przed aktualizacja wykonaj kopie zapasowa danych.\r\n"
                   "2. Podczas instalacji nie uruchamiaj programow systemu.\r\n"))
            return false;

        std::vector<package::PackItem> items;
        std::string err;
        if (!package::collect_tree(work, items, &err) || !package::write_package(join_path(out, "QAROVOR.DAT"), items, &err))
            return fail(err);

        std::string cd = add_backslash(out);
        return write(cd + "dysk_1", "CD") &&
               write(cd + "licencja.txt",
                     "UMOWA LICENCYJNA SYSTEMU qaroVORANTA\r\n\r\n"
                     "Oprogramowanie jest chronione prawem autorskim. Licencjobiorca moze\r\n"
                     "uzywac systemu na jednym stanowisku albo w sieci, zgodnie z licencja.\r\n") &&
               write(cd + "readme", "qaroVORANTA 27.10 - plik informacyjny\r\n") && mkdirs(cd + "fonty\\") &&
               write(cd + "fonty\\QARO.TTF", std::string("\0\x01\0\0", 4) + "QARO") &&
               write(cd + "fonty\\QAROB.TTF", std::string("\0\x01\0\0", 4) + "QAROB") && mkdirs(cd + "setup\\") &&
               write(cd + "setup\\fontinst.exe", program("FONTINST")) &&
               write(cd + "setup\\FONTINST.EXE.MANIFEST", "<assembly manifestVersion=\"1.0\"/>\r\n");
    }
};

void remove_tree(const std::string& dir) {
    DELSTRUCT(dir);
    E_REMDIR(dir);
}

}  // namespace

bool build_sample_medium(std::string_view out, std::string* error) {
    if (error) error->clear();
    std::string outdir = strip_backslash(out);
    // The package tree is built in a fresh directory beside the medium and removed afterwards.
    std::string work = fs().temp_name_beside(outdir);
    Builder b{outdir, add_backslash(work), error};
    bool ok = b.mkdirs(work) && b.build();
    remove_tree(work);
    return ok;
}

}  // namespace qaro
