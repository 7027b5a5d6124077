// qarotool xpf: look into and mend current variable files (settings files of any name too).
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "platform/cipher.h"
#include "platform/file_system.h"
#include "platform/variable_store.h"
#include "platform/variable_text.h"

namespace qaro::tool {
namespace {

int fail(const std::string& msg) {
    std::fprintf(stderr, "qarotool xpf: %s\n", msg.c_str());
    return 1;
}

bool parse_value(const std::string& type, const std::string& text, Value& out) {
    if (type == "C") {
        out = Value(text);
        return true;
    }
    if (type == "N") {
        char* end = nullptr;
        double d = std::strtod(text.c_str(), &end);
        if (text.empty() || *end) return false;
        out = Value(d);
        return true;
    }
    if (type == "D") {
        if (text == "EMPTY" || text.empty()) {
            out = Value(Date());
            return true;
        }
        Date d = Date::from_dtos(text);
        if (d.empty()) return false;
        out = Value(d);
        return true;
    }
    if (type == "L") {
        std::string t = upper(text);
        if (t == "T" || t == ".T." || t == "TRUE" || t == "Y") {
            out = Value(true);
            return true;
        }
        if (t == "F" || t == ".F." || t == "FALSE" || t == "N") {
            out = Value(false);
            return true;
        }
    }
    return false;
}

int set_one(const std::string& file, const std::string& name, Value v, Scope scope) {
    VariableSet set;
    if (fs().exists(file)) {
        std::string err;
        if (!restore_variables(file, &err, set)) return fail(err);
    }
    set.set(name, std::move(v), scope);
    if (!save_variables(file, "*", "", set))
        return fail(file + ": cannot be written (error " + std::to_string(fs().last_error()) + ")");
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) return fail("missing FILE");
    const std::string& file = args[0];
    if (args.size() == 1) {
        VariableSet set;
        std::string err;
        if (!restore_variables(file, &err, set)) return fail(err);
        for (auto* v : set.all()) {
            std::string line = variable_line(*v);
            if (v->value.is_text() && equal_nocase(v->name, "pikheader"))
                line += " deciphered " + quote_bytes(SZYFR(v->value.text()));
            std::printf("%s\n", line.c_str());
        }
        return 0;
    }
    if (args[1] == "set" && args.size() == 5) {
        Value v;
        if (!parse_value(args[3], args[4], v)) return fail("bad value '" + args[4] + "' for type " + args[3]);
        return set_one(file, args[2], std::move(v), Scope::Private);
    }
    if (args[1] == "set-header" && args.size() == 3)
        return set_one(file, "pikheader", Value(ZASZYFR(args[2])), Scope::Public);
    return fail("unknown form; see qarotool --help");
}

}  // namespace

QAROTOOL_COMMAND("xpf",
                 "xpf FILE                     list the variables of a variable file\n"
                 "xpf FILE set NAME C|N|D|L VALUE   set one variable (date YYYYMMDD)\n"
                 "xpf FILE set-header TEXT     store the enciphered header text as pikheader",
                 run);

}  // namespace qaro::tool
