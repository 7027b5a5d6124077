#include "tools/fonts.h"

#include <string>

#include "platform/file_system.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "tools/search.h"

namespace qaro {

namespace {

constexpr const char* kProgram = "fontinst.exe";
constexpr const char* kManifest = "FONTINST.EXE.MANIFEST";

// Every message names the problem on its first line and its consequence on the second.
bool fail(const std::string& first_line) {
    KOM3(Value(Array{Value(first_line), Value("Fonty firmowe nie be`da` poprawnie obsl`ux`one!")}), 0, 0, 3);
    return false;
}

// Copies src over dst; a copy counts only when it succeeded and dst is there afterwards
// (an old read-only target that refused the copy must not pass for the new file).
bool copied(const std::string& src, const std::string& dst) {
    return COPYFILE(src, dst, true) && fs().exists(dst);
}

// Clears the read-only attribute of an existing target and deletes it; true when it is gone.
bool removed(const std::string& path) {
    if (!fs().exists(path)) return true;
    E_SETFATTR(path, 0);
    fs().remove_file(path);
    return !fs().exists(path);
}

}  // namespace

bool KOP_FONTY(std::string_view kat_instal, std::string_view kat_firmy) {
    const std::string fonts_dir = std::string(kat_firmy) + "fonty";
    const std::string source_fonts = join_path(kat_instal, "fonty");
    const std::string setup = join_path(kat_instal, "setup");
    const std::string exe_dir = std::string(kat_firmy) + "exe";

    if (!N_ISDIR(fonts_dir)) MAKEDIR(fonts_dir);
    if (!N_ISDIR(fonts_dir)) return fail("Brak katalogu FONTY w katalogu FIRMY.");

    const std::vector<std::string> fonts = TABFILES(join_path(source_fonts, "*.ttf"));
    if (fonts.empty()) return fail("Brak fonto`w z`ro`dl`owych w katalogu FONTY.");

    for (const auto& name : fonts)
        if (!copied(join_path(source_fonts, name), join_path(fonts_dir, name)))
            return fail("Font " + name + " nie zostal` skopiowany.");

    const std::string target_program = join_path(exe_dir, kProgram);
    const std::string target_manifest = join_path(exe_dir, kManifest);
    const std::string source_program = join_path(setup, kProgram);
    const std::string source_manifest = join_path(setup, kManifest);

    if (!removed(target_manifest)) return fail("Bl`a`d przy usuwaniu pliku FONTINST.EXE.MANIFEST.");
    if (!removed(target_program)) return fail("Bl`a`d przy usuwaniu pliku FONTINST.EXE.");

    if (!fs().exists(source_program)) return fail("Brak pliku FONTINST.EXE w katalogu instalacyjnym.");
    if (!copied(source_program, target_program)) return fail("Bl`a`d przy kopiowaniu pliku FONTINST.EXE.");

    if (!fs().exists(source_manifest)) return fail("Brak pliku FONTINST.EXE.MANIFEST w katalogu instalacyjnym.");
    if (!copied(source_manifest, target_manifest)) return fail("Bl`a`d przy kopiowaniu pliku FONTINST.EXE.MANIFEST.");
    return true;
}

}  // namespace qaro
