#include "instal/run_variables.h"

namespace qaro::run {

void declare() {
    auto& v = variables();
    for (const char* name : {"__CD__", "__DD__", "__OPIS__", "__POMIN__"}) v.set(name, Value(), Scope::Private);
    for (const char* name : {"_rob", "_skad", "_dokad", "_kat_inst"}) v.set(name, Value(""), Scope::Private);
    v.set("p_graf", Value(true), Scope::Public);
    v.set("p_query", Value(2), Scope::Public);
    v.set("p_beep", Value(3), Scope::Public);
    v.set("pikheader", Value(), Scope::Public);
    v.set("p_pol", Value(4), Scope::Public);
}

std::string text(std::string_view name) { return variables().get(name).text(); }

bool flag(std::string_view name) { return variables().get(name).logical(); }

void set(std::string_view name, Value v) { variables().set(name, std::move(v)); }

std::string opis_modules() {
    auto& a = variables().get("__OPIS__").array();
    return a.size() >= 1 ? a[0].text() : std::string();
}

std::string opis_mode() {
    auto& a = variables().get("__OPIS__").array();
    return a.size() >= 5 ? a[4].text() : std::string();
}

void set_opis_mode(std::string_view mode) {
    Value opis = variables().get("__OPIS__");
    auto& a = opis.array_mut();
    if (a.size() < 5) a.resize(5);
    a[4] = Value(std::string(mode));
    variables().set("__OPIS__", std::move(opis));
}

}  // namespace qaro::run
