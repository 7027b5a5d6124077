#include "platform/variable_store.h"

#include "platform/file_system.h"
#include "platform/wildcard.h"
#include "platform/xpf_format.h"

namespace qaro {

bool save_variables(std::string_view path, std::string_view mask, std::string_view except, const VariableSet& set) {
    std::vector<Variable> vars;
    for (auto* v : set.matching(mask))
        if (except.empty() || !wildcard_match(except, v->name)) vars.push_back(*v);
    return fs().write_atomic(path, encode_xpf(vars));
}

bool restore_variables(std::string_view path, std::string* error, VariableSet& set) {
    std::string bytes;
    if (!fs().read_all(path, bytes)) {
        if (error) *error = std::string(path) + ": cannot be read (error " + std::to_string(fs().last_error()) + ")";
        return false;
    }
    std::string why;
    auto vars = decode_xpf(bytes, &why);
    if (!vars) {
        if (error) *error = std::string(path) + ": " + why;
        return false;
    }
    for (auto& v : *vars) set.set(v.name, std::move(v.value), v.scope);
    return true;
}

bool is_current_variable_file(std::string_view path) {
    auto f = fs().open(path, OpenMode::Read);
    if (!f) return false;
    char head[40];
    if (f->read(head, sizeof head) != static_cast<long long>(sizeof head)) return false;
    return looks_like_xpf(std::string_view(head, sizeof head));
}

}  // namespace qaro
