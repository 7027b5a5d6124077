#include "platform/table/table_functions.h"

#include "platform/table/field_codec.h"
#include "platform/table/work_area.h"

namespace qaro {

Value READ_REKORD() {
    WorkArea& w = work_areas().current();
    Array pairs;
    if (!w.used()) return Value(std::move(pairs));
    const Structure& s = w.table()->structure();
    pairs.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        pairs.emplace_back(Array{Value(s[i].name), w.table()->get(static_cast<int>(i))});
    return Value(std::move(pairs));
}

int WRITE_REKORD(const Value& pairs) {
    WorkArea& w = work_areas().current();
    if (!w.used() || !pairs.is_array()) return 0;
    const Structure& s = w.table()->structure();
    int stored = 0;
    for (const auto& p : pairs.array()) {
        if (!p.is_array() || p.array().size() < 2 || !p.array()[0].is_text()) continue;
        int pos = w.field_pos(p.array()[0].text());
        if (pos == 0) continue;
        const FieldDef& f = s[static_cast<std::size_t>(pos - 1)];
        const Value& given = p.array()[1];
        const bool same = (given.is_text() && (f.type == 'C' || f.type == 'M')) ||
                          (given.is_number() && (f.type == 'N' || f.type == 'F')) || (given.is_date() && f.type == 'D') ||
                          (given.is_logical() && f.type == 'L');
        if (same) {
            if (w.put(pos, given)) ++stored;
            continue;
        }
        Value v = convert_for_field(f, given);
        if (v.is_nil()) continue;
        if (w.put(pos, v)) ++stored;
    }
    return stored;
}

bool CMXAUTOOPEN(bool on) {
    bool before = work_areas().auto_open_compound();
    work_areas().set_auto_open_compound(on);
    return before;
}

std::uint32_t CMXKEYCOUNT() {
    WorkArea& w = work_areas().current();
    return w.used() ? w.key_count() : 0;
}

bool APPE_BLAN() {
    WorkArea& w = work_areas().current();
    return w.used() && w.append_blank();
}

bool TEST_ALIAS(const Value& alias) { return alias.is_text() && work_areas().find(alias.text()) != nullptr; }

}  // namespace qaro
