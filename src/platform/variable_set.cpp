#include "platform/variable_set.h"

#include "platform/wildcard.h"

namespace qaro {

void VariableSet::set(std::string_view name, Value value, Scope scope) {
    auto key = upper(name);
    auto it = vars_.find(key);
    if (it == vars_.end()) {
        vars_.emplace(key, Variable{std::string(name), scope, std::move(value)});
    } else {
        it->second.value = std::move(value);
    }
}

bool VariableSet::has(std::string_view name) const { return vars_.count(upper(name)) != 0; }

const Variable* VariableSet::find(std::string_view name) const {
    auto it = vars_.find(upper(name));
    return it == vars_.end() ? nullptr : &it->second;
}

const Value& VariableSet::get(std::string_view name) const {
    static const Value nil;
    auto v = find(name);
    return v ? v->value : nil;
}

std::vector<const Variable*> VariableSet::matching(std::string_view mask) const {
    std::vector<const Variable*> r;
    for (auto& [key, var] : vars_)
        if (wildcard_match(mask, key)) r.push_back(&var);
    return r;
}

void VariableSet::release(std::string_view mask) {
    for (auto it = vars_.begin(); it != vars_.end();) {
        if (wildcard_match(mask, it->first))
            it = vars_.erase(it);
        else
            ++it;
    }
}

void VariableSet::set_nil(std::string_view mask) {
    for (auto& [key, var] : vars_)
        if (wildcard_match(mask, key)) var.value = Value();
}

std::vector<const Variable*> VariableSet::all() const { return matching("*"); }

VariableSet& variables() {
    static VariableSet set;
    return set;
}

}  // namespace qaro
