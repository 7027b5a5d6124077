#include "platform/table/structure.h"

namespace qaro {

std::string normalise_structure(Structure& s) {
    if (s.empty()) return "a table needs at least one field";
    long record = 1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        FieldDef& f = s[i];
        f.name = upper(alltrim(f.name));
        std::string where = "field " + std::to_string(i + 1) + " (" + f.name + "): ";
        if (f.name.empty() || f.name.size() > 10) return where + "the name must have 1 to 10 characters";
        for (char c : f.name) {
            bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
            if (!ok) return where + "the name may hold only letters, digits and '_'";
        }
        if (f.name[0] >= '0' && f.name[0] <= '9') return where + "the name must not begin with a digit";
        for (std::size_t j = 0; j < i; ++j)
            if (s[j].name == f.name) return where + "the name is used twice";
        f.type = static_cast<char>(f.type >= 'a' && f.type <= 'z' ? f.type - 32 : f.type);
        switch (f.type) {
        case 'C':
            if (f.width < 1 || f.width > 65535) return where + "a character field is 1 to 65535 wide";
            f.decimals = 0;
            break;
        case 'N':
            if (f.width < 1 || f.width > 20) return where + "a numeric field is 1 to 20 wide";
            if (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.width - 2))
                return where + "the decimals do not fit the width";
            break;
        case 'D': f.width = 8; f.decimals = 0; break;
        case 'L': f.width = 1; f.decimals = 0; break;
        case 'M': f.width = 10; f.decimals = 0; break;
        default: return where + "unknown field type '" + std::string(1, f.type) + "'";
        }
        record += f.width;
    }
    if (record > 65535) return "the record would be longer than 65535 bytes";
    if (s.size() > 2046) return "too many fields";
    return "";
}

int field_position(const Structure& s, std::string_view name) {
    std::string_view n = name;
    while (!n.empty() && n.front() == ' ') n.remove_prefix(1);
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    for (std::size_t i = 0; i < s.size(); ++i)
        if (equal_nocase(s[i].name, n)) return static_cast<int>(i + 1);
    return 0;
}

Value structure_to_value(const Structure& s) {
    Array rows;
    rows.reserve(s.size());
    for (const auto& f : s)
        rows.emplace_back(Array{Value(f.name), Value(std::string(1, f.type)), Value(f.width), Value(f.decimals)});
    return Value(std::move(rows));
}

Structure structure_from_value(const Value& v, std::string& error) {
    Structure s;
    error.clear();
    if (!v.is_array()) {
        error = "the structure is not an array";
        return s;
    }
    for (const auto& row : v.array()) {
        const Array* a = row.is_array() ? &row.array() : nullptr;
        if (!a || a->size() < 4 || !(*a)[0].is_text() || !(*a)[1].is_text() || !(*a)[2].is_number() ||
            !(*a)[3].is_number() || (*a)[1].text().empty()) {
            error = "structure row " + std::to_string(s.size() + 1) + " is not {name, type, width, decimals}";
            return {};
        }
        s.push_back({(*a)[0].text(), (*a)[1].text()[0], static_cast<int>((*a)[2].number()),
                     static_cast<int>((*a)[3].number())});
    }
    return s;
}

}  // namespace qaro
