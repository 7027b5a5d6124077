#include "instal/services/db_open.h"

#include "platform/table/table_functions.h"
#include "platform/table/work_area.h"

namespace qaro {

namespace {
// The part after the last backslash, up to the last dot.
std::string alias_from_file(const std::string& file) {
    std::size_t slash = file.rfind('\\');
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
}  // namespace

bool DB_OPEN(const Value& cFile, const Value& lshared, const Value& cAlias) {
    if (!cFile.is_text() || alltrim(cFile.text()).empty()) return false;
    const std::string file = alltrim(cFile.text());
    const bool shared = lshared.is_logical() ? lshared.logical() : true;
    std::string alias = cAlias.is_text() ? alltrim(cAlias.text()) : std::string();
    if (alias.empty()) alias = alias_from_file(file);
    work_areas().open(file, alias, shared);
    return work_areas().current().used();
}

void DB_CLOSE(const Value& cAlias) {
    WorkAreas& w = work_areas();
    const int before = w.selected();
    if (cAlias.is_text() && !alltrim(cAlias.text()).empty() && TEST_ALIAS(cAlias)) w.select(cAlias.text());
    WorkArea& cur = w.current();
    if (cur.used()) cur.close();
    if (before != 0) w.select(before);
}

}  // namespace qaro
