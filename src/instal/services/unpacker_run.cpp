#include "instal/services/unpacker_run.h"

#include <cctype>

#include "instal/services/leave_sequence.h"
#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/shell/command_interpreter.h"

namespace qaro {

namespace {

void empty_and_remove(const std::string& dir) {
    E_FILEDELETE(join_path(dir, "*.*"));
    E_REMDIR(dir);
}

void clean_up(std::string_view rob, std::string_view dokad, std::string_view gdzie, bool usun) {
    if (!rob.empty() && ISDIR(rob)) E_FILEDELETE(join_path(strip_backslash(rob), "*.*"));
    if (!rob.empty()) E_REMDIR(rob);
    if (usun && !dokad.empty()) {
        std::string work = strip_backslash(std::string(dokad) + std::string(gdzie));
        if (ISDIR(work)) empty_and_remove(work);
    }
}

}  // namespace

void RUN_PRG(std::string_view skad, std::string_view dokad, std::string_view rob, std::string_view co,
             std::string_view gdzie, std::string_view kom, bool usun, std::string_view ext) {
    std::string batch = std::string(co) + std::string(ext);
    if (!fs().exists(std::string(skad) + batch)) {
        KOM3("Brak zbioru \"" + std::string(co) + "\" na dyskietce instalacyjnej!", 0, 0, 3);
        clean_up(rob, dokad, gdzie, usun);
        throw LeaveSequence("unpacking batch missing");
    }
    DAJ_WZORZEC(Value(), Value(std::string(kom)));

    std::string work = std::string(dokad) + std::string(gdzie);
    if (!work.empty() && work.back() == '\\' && !(work.size() == 3 && work[1] == ':')) work.pop_back();
    char remembered = 0;
    if (work.size() >= 2 && work[1] == ':' && std::toupper(static_cast<unsigned char>(work[0])) != fs().current_drive()) {
        remembered = fs().current_drive();
        CHANGEDISK(work[0]);
    }
    CHANGEDIR(work);
    if (fs().exists(std::string(skad) + "WINRAR.EXE")) COPYFILE(std::string(skad) + "WINRAR.EXE", join_path(work, "WINRAR.EXE"), true);
    COPYFILE(std::string(skad) + batch, join_path(work, batch), true);

    set_pos(23, 0);
    int rc = run_command_interpreter("/C " + batch + " > NUL");
    set_cursor(false);
    if (remembered) CHANGEDISK(remembered);
    CHANGEDIR(strip_backslash(dokad));
    DAJ_WZORZEC(Value(), Value(""));
    if (rc == -1) {
        KOM3("Bl`a`d RunShell'a.Powto`rz instalacje` !", 0, 0, 3);
        clean_up(rob, dokad, gdzie, usun);
        throw LeaveSequence("command interpreter did not start");
    }
}

void WYWAL_CDX(std::string_view sciezka) {
    std::string root(sciezka);
    if (!root.empty() && root.back() == '\\') root.pop_back();
    for (auto& e : fs().list(root + "\\*.*", attr::kDirectory | attr::kHidden | attr::kSystem)) {
        if ((e.attributes & attr::kDirectory) && !e.name.empty() && e.name[0] != '.') WYWAL_CDX(root + "\\" + e.name);
    }
    for (const char* mask : {"\\*.CDX", "\\*.SEM"}) {
        for (auto& e : fs().list(root + mask, attr::kHidden | attr::kSystem))
            if (!(e.attributes & attr::kDirectory)) fs().remove_file(root + "\\" + e.name);
    }
}

}  // namespace qaro
