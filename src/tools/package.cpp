#include "tools/package.h"

#include "platform/file_system.h"
#include "platform/lib_data.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "tools/package_format.h"
#include "tools/search.h"

namespace qaro {

namespace {
const std::string kPackageName = "QAROVOR.DAT";
const std::string kQuotedName = "\"QAROVOR.DAT\"";
}  // namespace

bool SPRAWDZ_SUME(std::string_view src) {
    E_CRC_TBL();
    std::string dir = add_backslash(src);
    auto f = fs().open(dir + kPackageName, OpenMode::Read);
    if (!f) {
        KOM3(Value(Array{Value("Brak mox`liwos`ci otwarcia pliku"), Value(kQuotedName + ".")}));
        return false;
    }
    std::string head(16, '\0');
    if (f->read(head.data(), head.size()) != 16) {
        f->close();
        KOM3(Value(Array{Value("Plik " + kQuotedName), Value("zostal` uszkodzony.")}));
        return false;
    }
    double stored_length = BIN2N(head.substr(8, 4));
    double stored_sum = BIN2N(head.substr(12, 4));
    auto size = f->size();
    auto sum = size ? LICZSUME(*f, *size, true) : std::nullopt;
    f->close();
    bool intact = size && sum && static_cast<double>(*sum) == stored_sum &&
                  static_cast<double>(*size) == stored_length && head.substr(0, 8) == package::kMagic;
    if (!intact)
        KOM3(Value(Array{Value("Plik " + kQuotedName),
                         Value("zostal` uszkodzony lub jego zawartos`c` zostal`a zmieniona.")}));
    return intact;
}

double WLK_FIRMADAT(std::string_view plik) {
    auto f = fs().open(plik, OpenMode::Read);
    if (!f) {
        KOM3("Brak mox`liwos`ci otwarcia pliku qarovor.dat.");
        return 0;
    }
    std::string head(16, '\0');
    if (f->read(head.data(), head.size()) != 16) {
        KOM3("Wysta`pil` bl`a`d podczas odczytu pliku z dyskietki.");
        return 0;
    }
    return BIN2N(head.substr(8, 4));
}

std::string EXTRACT_NAME(std::string_view path) {
    std::string p = alltrim(path);
    auto i = p.rfind('\\');
    return i == std::string::npos ? p : p.substr(i + 1);
}

std::string REL_PATH(std::string_view path) {
    std::string p = alltrim(path);
    auto i = p.rfind('\\');
    std::string r = i == std::string::npos ? std::string() : p.substr(0, i + 1);
    if (r.rfind(".\\", 0) == 0) r.erase(0, 2);
    return r;
}

std::vector<std::string> SPLIT_PATH(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    bool drive_root_open = false;
    while (start < path.size()) {
        auto i = path.find('\\', start);
        std::string piece = i == std::string_view::npos ? std::string(path.substr(start)) + "\\"
                                                        : std::string(path.substr(start, i - start + 1));
        if (parts.empty() && piece.size() == 3 && piece[1] == ':') {
            parts.push_back(piece);
            drive_root_open = true;
        } else if (drive_root_open) {
            parts.back() += piece;
            drive_root_open = false;
        } else {
            parts.push_back(piece);
        }
        if (i == std::string_view::npos) break;
        start = i + 1;
    }
    return parts;
}

bool TREECREATE(std::string_view path) {
    std::string sofar;
    for (auto& piece : SPLIT_PATH(path)) {
        sofar += piece;
        if (N_ISDIR(sofar)) continue;
        if (MAKEDIR(strip_backslash(sofar)) != 0) {
            KOM3(Value(Array{Value("Brak mox`liwos`ci utworzenia podkatalogo`w"),
                             Value("w kartotece: \"" + sofar + "\".")}));
            return false;
        }
    }
    return true;
}

bool member_path_is_safe(std::string_view path) {
    if (path.empty() || path[0] == '\\' || path.find_first_of(":/") != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto i = path.find('\\', start);
        auto piece = path.substr(start, i == std::string_view::npos ? std::string_view::npos : i - start);
        if (alltrim(piece) == "..") return false;
        if (i == std::string_view::npos) break;
        start = i + 1;
    }
    return true;
}

}  // namespace qaro
