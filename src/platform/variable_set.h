// The one set of named private and public variables of a run.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

enum class Scope : std::uint8_t { Private = 0, Public = 1 };

struct Variable {
    std::string name;   // as first declared; look-ups ignore letter case
    Scope scope = Scope::Private;
    Value value;
};

class VariableSet {
public:
    // Declares or assigns. An existing variable keeps its scope and the letter case of its name.
    void set(std::string_view name, Value value, Scope scope = Scope::Private);
    bool has(std::string_view name) const;
    // The value, or NIL when there is no such variable.
    const Value& get(std::string_view name) const;
    const Variable* find(std::string_view name) const;

    // Mask operations: '*' and '?' wildcards, letter case ignored.
    std::vector<const Variable*> matching(std::string_view mask) const;
    void release(std::string_view mask);        // removes the matching variables
    void set_nil(std::string_view mask);        // keeps them, with the value NIL
    void clear() { vars_.clear(); }
    std::size_t size() const { return vars_.size(); }

    // All variables in name order (upper case).
    std::vector<const Variable*> all() const;

private:
    std::map<std::string, Variable> vars_;   // key: upper-case name
};

// The run's variable set.
VariableSet& variables();

}  // namespace qaro
