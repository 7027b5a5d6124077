#include "tools/cleanup.h"

#include <string>

#include "platform/file_system.h"
#include "platform/lib_files.h"

namespace qaro {

namespace {

// Left in the system directory by the listing, the unpacking batch and the unpacker.
constexpr const char* kLeftovers[] = {"_TMP_VOR.DBF", "_TMP_VOR.NTX", "bis.bat", "winrar.exe",
                                      "default.sfx",  "$dp.rar",      "$do.rar"};

}  // namespace

bool POSPRZATAJ(const Value&, std::string_view src, std::string_view dst) {
    // Relative names would resolve against the current directory, which may be the medium or
    // anything else: without a known system directory there is nothing of ours to remove.
    const std::string system_dir = alltrim(dst);
    if (system_dir.empty()) return true;

    const std::string staging = alltrim(src);
    if (!staging.empty()) DELSTRUCT(staging);

    const std::string work = system_dir + "MODYFIK";
    if (ISDIR(work)) {
        DELSTRUCT(work + "\\");
        E_REMDIR(work);
    }
    for (const char* name : kLeftovers) {
        const std::string path = system_dir + name;
        if (fs().exists(path)) fs().remove_file(path);
    }
    return true;
}

void DELFILE(std::string_view katalog, std::string_view szablon) {
    const std::string dir(katalog);
    for (const auto& name : TABFILES(dir + std::string(szablon))) {
        const std::string path = dir + name;
        if (fs().is_file(path)) fs().remove_file(path);
    }
}

}  // namespace qaro
