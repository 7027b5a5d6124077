// qarotool dbf: shows a table's structure and records in a plain, greppable form, or as JSON lines.
#include <cstdio>

#include "command.h"
#include "platform/table/dbf_table.h"

namespace qaro::tool {
namespace {

// Bytes as text: printable ASCII as is, backslash doubled, every other byte as \xNN.
std::string plain(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c == '\\') {
            r += "\\\\";
        } else if (c >= 32 && c < 127) {
            r += static_cast<char>(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

// A JSON string; bytes above 127 are taken as Latin-1 characters.
std::string json(const std::string& s) {
    std::string r = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += static_cast<char>(c);
        } else if (c < 32 || c >= 127) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            r += b;
        } else {
            r += static_cast<char>(c);
        }
    }
    return r + "\"";
}

// A numeric field as its text says; asterisks of an overflow are shown as stored.
std::string number_field(DbfTable& t, int i, const FieldDef& f, bool for_json) {
    std::string raw(t.record_bytes() + t.field_offset(i), static_cast<std::size_t>(f.width));
    if (raw.find('*') != std::string::npos) return for_json ? json(alltrim(raw)) : alltrim(raw);
    return alltrim(str_number(t.get(i).number(), f.width, f.decimals));
}

int run_dbf(const std::vector<std::string>& args) {
    bool as_json = false;
    std::string file;
    for (const auto& a : args) {
        if (a == "--json")
            as_json = true;
        else if (file.empty())
            file = a;
        else
            file.clear(), file = "\x01";
    }
    if (file.empty() || file == "\x01") {
        std::fprintf(stderr, "usage: qarotool dbf FILE [--json]\n");
        return 2;
    }
    std::string err;
    auto t = DbfTable::open(file, {true, true}, err);
    if (!t) {
        std::fprintf(stderr, "qarotool dbf: %s\n", err.c_str());
        return 1;
    }
    const Structure& s = t->structure();
    char ver[8];
    std::snprintf(ver, sizeof ver, "0x%02X", t->version());
    if (as_json) {
        std::string line = "{\"table\":" + json(t->path()) + ",\"version\":" + json(ver) +
                           ",\"records\":" + std::to_string(t->record_count()) + ",\"last_update\":" +
                           json(t->last_update().empty() ? "" : t->last_update().dtos()) + ",\"fields\":[";
        for (std::size_t i = 0; i < s.size(); ++i)
            line += std::string(i ? "," : "") + "{\"name\":" + json(s[i].name) + ",\"type\":" +
                    json(std::string(1, s[i].type)) + ",\"width\":" + std::to_string(s[i].width) +
                    ",\"decimals\":" + std::to_string(s[i].decimals) + "}";
        std::printf("%s]}\n", line.c_str());
    } else {
        std::printf("table %s\nversion %s records %u header %u record_length %u last_update %s\n", t->path().c_str(), ver,
                    t->record_count(), t->header_length(), t->record_length(),
                    t->last_update().empty() ? "-" : t->last_update().dtos().c_str());
        for (std::size_t i = 0; i < s.size(); ++i)
            std::printf("field %zu %s %c %d %d\n", i + 1, s[i].name.c_str(), s[i].type, s[i].width, s[i].decimals);
    }
    bool damaged = !t->warning().empty();
    std::string memo_error;
    for (std::uint32_t r = 1; r <= t->record_count(); ++r) {
        if (!t->go(r)) {
            std::fprintf(stderr, "qarotool dbf: %s\n", t->error().c_str());
            return 1;
        }
        std::string line = as_json ? "{\"recno\":" + std::to_string(r) + ",\"deleted\":" + (t->deleted() ? "true" : "false") + ",\"fields\":{"
                                   : "record " + std::to_string(r) + (t->deleted() ? " deleted" : "");
        for (std::size_t i = 0; i < s.size(); ++i) {
            const FieldDef& f = s[i];
            const int fi = static_cast<int>(i);
            std::string v;
            switch (f.type) {
            case 'N':
            case 'F': v = number_field(*t, fi, f, as_json); break;
            case 'D': {
                Date d = t->get(fi).date();
                v = as_json ? json(d.empty() ? "" : d.dtos()) : (d.empty() ? "-" : d.dtos());
                break;
            }
            case 'L': v = as_json ? (t->get(fi).logical() ? "true" : "false") : (t->get(fi).logical() ? "T" : "F"); break;
            case 'M': {
                auto text = t->memo_text(t->memo_block(fi));
                if (!text) {
                    memo_error = t->error() + " (record " + std::to_string(r) + ", field " + f.name + ")";
                    text = std::string();
                }
                v = as_json ? json(*text) : "[" + plain(*text) + "]";
                break;
            }
            default: v = as_json ? json(t->get(fi).text()) : "[" + plain(t->get(fi).text()) + "]";
            }
            line += as_json ? std::string(i ? "," : "") + json(f.name) + ":" + v : " " + f.name + "=" + v;
        }
        std::printf("%s%s\n", line.c_str(), as_json ? "}}" : "");
    }
    if (damaged) std::fprintf(stderr, "qarotool dbf: damaged table: %s\n", t->warning().c_str());
    if (!memo_error.empty()) std::fprintf(stderr, "qarotool dbf: damaged memo: %s\n", memo_error.c_str());
    return damaged || !memo_error.empty() ? 1 : 0;
}

}  // namespace

QAROTOOL_COMMAND("dbf", "dbf FILE [--json]   show a table's structure and records (deleted ones marked)", run_dbf);

}  // namespace qaro::tool
