#include "tools/copy_mode.h"

#include <utility>
#include <vector>

#include "instal/services/unpacker_run.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/table/work_area.h"
#include "tools/package.h"
#include "tools/staging.h"

namespace qaro {

namespace {
constexpr std::string_view kModuleOrder = "PBKOTZU";

bool make_temp_dir(const std::string& dir, const std::string& shown) {
    if (!dir.empty() && !ISDIR(dir)) MAKEDIR(dir);
    if (!dir.empty() && ISDIR(dir)) return true;
    KOM3(Value(Array{Value("Brak katalogu tymczasowego do rozpakowywania archiwum"), Value("\"" + shown + "\""),
                     Value("Exeki nie be`da` rozpakowane!")}),
         0, 0, 3);
    return false;
}
// Deletes every file of a directory of the installer's own temporary tree, read-only ones
// too (unpacked programs may arrive read-only and would otherwise keep the directory alive).
void delete_temp_files(const std::string& dir) {
    for (auto& e : fs().list(join_path(dir, "*.*"), attr::kHidden | attr::kSystem)) {
        std::string p = join_path(dir, e.name);
        if (e.attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem)) E_SETFATTR(p, 0);
        fs().remove_file(p);
    }
}
}  // namespace

bool PRZYG_EXY(std::string_view modules, std::string_view src, std::string_view tmpkat) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"WINRAR.EXE", "WINRAR.EXE"}, {"DEFAULT.SFX", "DEFAULT.SFX"}, {"DOSPRINT.0", "DOSPRINT.0"},
        {"DRORG.0", "DRORG.0"},       {"MASTER.0", "MASTER.0"},       {"XCBIS.BAT", "BIS.BAT"},
        {"DLL.0", "DLL.0"},           {"MASTER.DBC", "MASTER.DBC"}};
    for (char letter : kModuleOrder) {
        if (modules.find(letter) == std::string_view::npos) continue;
        std::string name = DAJMODUL(std::string_view(&letter, 1));
        rows.push_back({name + ".0", name + ".0"});
        rows.push_back({name + ".DBC", name + ".DBC"});
    }
    std::string dest = std::string(tmpkat) + "ARCH\\";
    WindowHandle w = KOM4("przygotowanie pliko`w instalacyjnych.", 8);
    WindowHandle bar = INITPROGRES();
    bool ok = true;
    for (std::size_t i = 0; i < rows.size() && ok; ++i) {
        GOPROGRES(static_cast<double>(i + 1), static_cast<double>(rows.size()));
        ok = EXTRACT_FILE(rows[i].first, src, dest, rows[i].second);
    }
    ZWIN(bar);
    ZWIN(w);
    return ok;
}

bool ROZPARCH(std::string_view modules_in, std::string_view tmpkat_in) {
    std::string tmpkat(tmpkat_in);
    std::string staged = tmpkat + "arch\\_vor_baz\\";
    std::string modules = "M" + std::string(modules_in);
    WindowHandle bar = INITPROGRES();
    double total = static_cast<double>(modules_in.size() + 7);
    double step = 0;
    for (char letter : modules) {
        GOPROGRES(++step, total);
        std::string name = DAJMODUL(std::string_view(&letter, 1));
        std::string archive = tmpkat + "$" + letter;
        fs().remove_file(archive);
        fs().remove_file(archive + ".RAR");
        if (fs().exists(staged + name + ".0")) COPYFILE(staged + name + ".0", archive + ".RAR", true);
        if (fs().exists(staged + name + ".DBC")) COPYFILE(staged + name + ".DBC", tmpkat + "exe\\" + name + ".DBC", true);
    }
    GOPROGRES(++step, total);
    if (fs().exists(staged + "DOSPRINT.0")) COPYFILE(staged + "DOSPRINT.0", tmpkat + "$DP.RAR", true);
    GOPROGRES(++step, total);
    if (fs().exists(staged + "DRORG.0")) COPYFILE(staged + "DRORG.0", tmpkat + "$DO.RAR", true);
    GOPROGRES(++step, total);
    if (fs().exists(staged + "WINRAR.EXE")) COPYFILE(staged + "WINRAR.EXE", tmpkat + "WINRAR.EXE", true);
    if (fs().exists(staged + "DEFAULT.SFX")) COPYFILE(staged + "DEFAULT.SFX", tmpkat + "DEFAULT.SFX", true);
    GOPROGRES(++step, total);
    if (fs().exists(staged + "dll.0")) COPYFILE(staged + "dll.0", tmpkat + "$DL.RAR", true);
    GOPROGRES(++step, total);
    for (const char* exe : {"EXE\\DOSPRINT.EXE", "EXE\\VORPRINT.EXE", "EXE\\DRORG.EXE"})
        if (fs().exists(tmpkat + exe)) E_SETFATTR(tmpkat + exe, 0);
    for (char letter : modules) {
        std::string exe = tmpkat + "exe\\" + DAJMODUL(std::string_view(&letter, 1)) + ".exe";
        if (fs().exists(exe)) E_SETFATTR(exe, 0);
    }
    GOPROGRES(++step, total);
    ZWIN(bar);   // the unpacker run may leave the sequence; the bar is closed first
    RUN_PRG(staged, tmpkat, tmpkat, "bis", "", "Rozpakowywanie exeko`w systemu QaroVORANTA ...", true, ".bat");
    return true;
}

bool KOPKATEXE(std::string_view tmpkat, std::string_view dst_in) {
    WindowHandle bar = INITPROGRES();
    std::string dst = strip_backslash(alltrim(dst_in));
    if (!ISDIR(dst)) MAKEDIR(dst);
    if (!ISDIR(dst)) {
        KOM3(Value(Array{Value("Nie udal`o sie` utworzyc` katalogu:"), Value(dst), Value("Exeki nie be`da` skopiowane!")}), 0, 0, 3);
        ZWIN(bar);
        return false;
    }
    std::string source = std::string(tmpkat) + "EXE\\";
    auto files = TABFILES(source + "*.*");
    dst = add_backslash(dst);
    for (std::size_t i = 0; i < files.size(); ++i) {
        GOPROGRES(static_cast<double>(i + 1), static_cast<double>(files.size()));
        if (fs().exists(dst + files[i])) E_SETFATTR(dst + files[i], 0);
        COPYFILE(source + files[i], dst + files[i]);
    }
    ZWIN(bar);
    return true;
}

bool KOPEXEKI(std::string_view adana, std::string_view dst, std::string_view tmpkat_in) {
    std::string source = DISKNAME() + ":" + E_DIRNAME();
    WindowHandle bar = INITDBASE();
    auto step = [&](int n, const char* caption) {
        GODBASE(n, 7);
        DAJ_WZORZEC(Value(), Value(caption));
    };

    step(1, "Tworzenie katalogo`w tymczasowych");
    std::string tmpkat = strip_backslash(alltrim(tmpkat_in));
    // An empty name would name the current directory, whose files the clean-up deletes.
    if (!make_temp_dir(tmpkat, tmpkat)) {
        ZWIN(bar);
        return false;
    }
    tmpkat = add_backslash(tmpkat);
    if (!make_temp_dir(tmpkat + "exe", tmpkat + "EXE") || !make_temp_dir(tmpkat + "arch", tmpkat + "ARCH")) {
        ZWIN(bar);
        return false;
    }

    step(2, "Sprawdzanie sumy kontrolnej");
    if (!SPRAWDZ_SUME(source)) {
        ZWIN(bar);
        return false;
    }

    step(3, "Tworzenie listy pliko`w");
    std::string modules = alltrim(adana);
    bool listed = LISTA_PLIKOW(source, tmpkat);
    bool result = listed;
    DAJ_WZORZEC(Value(), Value(""));
    if (result) {
        step(4, "Wypakowywanie archiwo`w");
        result = PRZYG_EXY(modules, source, tmpkat);
    }
    if (listed)
        if (auto* files = work_areas().find("_files")) files->close();
    if (result) {
        step(5, "Rozpakowywanie archiwo`w");
        result = ROZPARCH(modules, tmpkat);
    }
    if (result) {
        step(6, "Kopiowanie exeko`w");
        result = KOPKATEXE(tmpkat, dst);
    }

    step(7, "Usuwanie pozostal`os`ci");
    for (const char* sub : {"arch\\_vor_baz", "arch", "exe", "firma.arc", "inst", "kadry", "opisy", "pit", "place",
                            "spec", "umzlec", "wspolne", "xml"}) {
        delete_temp_files(tmpkat + sub);
        E_REMDIR(tmpkat + sub);
    }
    delete_temp_files(strip_backslash(tmpkat));
    CHANGEDIR("\\");
    E_REMDIR(strip_backslash(tmpkat));
    CHANGEDIR(source);
    ZWIN(bar);
    DAJ_WZORZEC(Value(), Value(""));
    return result;
}

}  // namespace qaro
