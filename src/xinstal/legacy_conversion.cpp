#include "xinstal/legacy_conversion.h"

#include <string>

#include "platform/file_system.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"
#include "platform/xpf_format.h"
#include "xinstal/conversion_messages.h"
#include "xinstal/legacy_reader.h"

namespace qaro {

std::string legacy_file_name(std::string_view given) {
    std::string path(given);
    // Only the file name is looked at, so that a dot in a directory name does not count.
    if (base_name(path).find('.') == std::string::npos) path += ".MEM";
    return path;
}

std::string default_xpf_name(std::string_view mem_path) {
    std::size_t dot = mem_path.rfind('.');
    return std::string(mem_path.substr(0, dot == std::string_view::npos ? mem_path.size() : dot)) + ".XPF";
}

ConversionResult MEMTOXPF(std::string_view file, std::string_view xpf_file) {
    struct EmptyAfter {
        ~EmptyAfter() { variables().clear(); }
    } empty_after;

    std::string bytes;
    if (!fs().read_all(file, bytes)) return ConversionResult::Unreadable;
    if (looks_like_xpf(bytes)) return ConversionResult::AlreadyCurrent;

    auto pairs = read_legacy_variables(bytes);
    if (pairs.empty()) return ConversionResult::NoVariables;

    VariableSet& set = variables();
    for (auto& p : pairs) set.set(p.name, std::move(p.value));
    return save_variables(xpf_file, "*", "oDeskTop") ? ConversionResult::Converted : ConversionResult::SaveFailed;
}

ConversionResult KONWMAIN(const Value& mem_file, const Value& xpf_file, const Value& messages) {
    const bool show = messages.is_logical() ? messages.logical() : true;

    std::string path = mem_file.is_text() ? mem_file.text() : std::string();
    if (alltrim(path).empty()) {
        if (show) message_window("Pusta nazwa pliku *.MEM!");
        clear_keys_and_wait();
        return ConversionResult::EmptyName;
    }
    path = legacy_file_name(path);

    if (!fs().is_file(path)) {
        if (show) message_window("File " + path + " nie istnieje!");
        return ConversionResult::MissingFile;
    }

    variables().clear();

    std::string target = xpf_file.is_text() ? xpf_file.text() : std::string();
    if (alltrim(target).empty()) target = default_xpf_name(path);

    ConversionResult result = MEMTOXPF(path, target);
    // A host error never passes for a success: say which file it was.
    if (show && result == ConversionResult::Unreadable) message_window("Bl`a`d odczytu zbioru: " + path);
    if (show && result == ConversionResult::SaveFailed) message_window("Bl`a`d zapisu zbioru: " + target);
    return result;
}

}  // namespace qaro
