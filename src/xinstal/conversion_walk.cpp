#include "xinstal/conversion_walk.h"

#include <array>

#include "instal/services/leave_sequence.h"
#include "platform/file_system.h"
#include "platform/variable_store.h"
#include "xinstal/conversion_messages.h"
#include "xinstal/legacy_conversion.h"

namespace qaro {

namespace {

// Settings files of SPEC that are legacy variable files under names of their own; converted in
// this order, each onto itself.
constexpr std::array<const char*, 4> kSpecFiles = {"PODATEK.PLT", "PODAT.ZUS", "ZAOKRAG.ZUS", "ZAS.ZUS"};

// Converts a settings file onto its own path, unless it is a current variable file already
// (a second update run must leave it exactly as the first one did).
void convert_in_place(const std::string& path) {
    if (is_current_variable_file(path)) return;
    KONWMAIN(Value(path), Value(path));
}

// Converts one .MEM file of `dir` to its .XPF and deletes it. The legacy file is kept when its
// content would be lost otherwise (it could not be read or the new file not written).
void convert_mem_file(const std::string& dir, const std::string& name) {
    const std::string source = dir + name;
    const std::string target = xpf_target_name(dir, name);
    bool may_delete = true;
    // A directory of that name is no converted file: convert (the write then fails and the
    // legacy file stays).
    if (!fs().is_file(target)) {
        ConversionResult r = KONWMAIN(Value(source), Value(target));
        may_delete = r == ConversionResult::Converted || r == ConversionResult::NoVariables;
    }
    if (!may_delete) return;
    if (!fs().remove_file(source)) {
        message_window("Blad w kasowaniu zbioru:" + source);
        throw LeaveSequence("Blad w kasowaniu zbioru:" + source);
    }
}

void convert_mem_files_in(const std::string& dir) {
    for (auto& e : fs().list(dir + "*.MEM"))
        if (has_extension(e.name, ".MEM")) convert_mem_file(dir, e.name);
}

}  // namespace

bool has_extension(std::string_view name, std::string_view ext) {
    std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && equal_nocase(name.substr(dot), ext);
}

std::string xpf_target_name(const std::string& dir, std::string_view mem_name) {
    std::string_view stem = mem_name.substr(0, mem_name.size() >= 4 ? mem_name.size() - 4 : 0);
    return dir + upper(stem) + ".XPF";
}

bool KONVORM2X(const std::string& main_dir) {
    for (auto& e : fs().list(main_dir + "*.*", attr::kDirectory)) {
        if (e.attributes & attr::kDirectory) {
            if (e.name == "." || e.name == "..") continue;
            const std::string sub = main_dir + e.name + "\\";
            if (e.name == "SPEC") {
                for (const char* f : kSpecFiles)
                    if (fs().is_file(sub + f)) convert_in_place(sub + f);
            }
            if (e.name == "PRINTER") {
                for (auto& d : fs().list(sub + "*.DRU"))
                    if (has_extension(d.name, ".DRU")) convert_in_place(sub + d.name);
            }
            convert_mem_files_in(sub);
        } else if (has_extension(e.name, ".MEM")) {
            convert_mem_file(main_dir, e.name);
        }
    }
    return true;
}

bool M2X_E(const Value& main_dir) {
    if (!main_dir.is_text() || alltrim(main_dir.text()).empty()) {
        message_window("Brak s`ciex`ki do katalogu programu qaroVORANTA.");
        return false;
    }
    std::string dir = main_dir.text();
    if (dir.back() != '\\') dir += '\\';
    if (!fs().is_file(dir + "PLACE.DBN")) {
        message_window("Niepoprawna s`ciez`ka do katalogu programu qaroVORANTA!");
        return false;
    }
    KONVORM2X(dir);
    return true;
}

}  // namespace qaro
