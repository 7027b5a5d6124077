#include "tools/media.h"

#include "platform/file_system.h"

namespace qaro {

bool CD_EDITION(bool& dd) {
    dd = false;
    std::string mark;
    if (fs().exists("dysk_1")) {
        if (auto f = fs().open("dysk_1", OpenMode::Read)) {
            char b[2];
            if (f->read(b, 2) == 2) mark.assign(b, 2);
        }
    }
    bool package_here = fs().is_file("QAROVOR.DAT");
    if (mark == "CD" && package_here) return true;
    if (mark == "DD" && package_here) {
        dd = true;
        return true;
    }
    return false;
}

}  // namespace qaro

#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "tools/package.h"

namespace qaro {

bool POLACZ_PLIK(std::string_view skad_in, std::string_view dokad_in) {
    std::string skad = add_backslash(skad_in);
    std::string dokad = add_backslash(dokad_in);
    if (fs().exists(skad + "czytaj.txt")) COPYFILE(skad + "czytaj.txt", dokad + "czytaj.txt", true);
    WindowHandle w = KOM5("Trwa kopiowanie pliko`w instalacyjnych na dysk.", Value(8), Value(), Value("Prosze` czekac`"));
    WindowHandle bar = INITDBASE();
    int n = 1;
    double joined = 0, total = 0;
    bool result = true, finished = false;
    for (;;) {
        if (!finished && fs().exists(skad + "DYSK_" + std::to_string(n)) && fs().exists(skad + "qarovor.dat")) {
            if (n == 1) {
                total = WLK_FIRMADAT(skad + "qarovor.dat");
                if (total == 0) result = false, finished = true;
            }
            if (!finished) {
                long long got = E_FILEAPPEND(skad + "qarovor.dat", dokad + "qarovor.dat", true);
                if (got > 0) joined += static_cast<double>(got);
                GODBASE(joined, total);
                if (got < 0 || E_FILEERROR() != 0)
                    result = false, finished = true;
                else if (joined == total)
                    result = true, finished = true;
            }
            ++n;
        } else if (!finished) {
            if (!DECYZJA(true, "Czy kontynuowac` instalacje` systemu?", Value(), Value(),
                         Value("Wl`o`x` do stacji dyskietke` numer " + std::to_string(n) + ".")))
                result = false, finished = true;
        } else if (!fs().exists(skad + "DYSK_1")) {
            KOM5(Value(Array{Value("Wl`o`x` do stacji pierwsza` dyskietke` instalacyjna`"), Value("i nacis`nij dowolny klawisz.")}),
                 Value(), Value(), Value("Uwaga"), Value(0), Value(37));
        } else {
            break;
        }
    }
    ZWIN(bar);
    ZWIN(w);
    return result;
}

}  // namespace qaro
