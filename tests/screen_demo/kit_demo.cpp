// A small program of the screen kit for the terminal test: a background window, an instruction
// box, one input field whose F2 action fills in a directory, and the question on Esc.
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/screen/console.h"
#include "platform/screen/kit.h"

// With the argument "throw" it fails with an uncaught exception after the first key, to show
// that the terminal is handed back even then.
int main(int argc, char** argv) {
    using namespace qaro;
    const bool fail = argc > 1 && std::strcmp(argv[1], "throw") == 0;
    console();
    PLCHANGE(DAJ_POL(2));
    K_ZMIEN_PALETE();
    K_SET_ZESTAW(38);
    K_CLEAR(1);
    ROZWIN(2, 0, 0, 22, 79, "Instalacja systemu \xAFqaroVORANTA\xAE (demonstracja)", 32);
    WindowHandle info = KOM5(Value(Array{"Wprowadz` pel`na` s`ciex`ke` do kartoteki systemu.", "F2 wyszukuje kartoteke`."}),
                             6, 0, "Wprowadz` kartoteke`");
    if (fail) {
        KOM3("Nacis`nij klawisz, aby wywol`ac` bl`a`d");
        throw std::runtime_error("kit_demo: planned failure");
    }
    STATLINE("Enter/Ctrl_W-Potwierdzenie,Esc-Rezygnacja,F2-Automatyczne przeszukiwanie");
    std::string dokad;
    bool finished = false, confirmed = false;
    while (!finished) {
        dokad = pad_right(dokad, 40);
        SETKEY(key::kF2, [] {
            if (InputField* g = GETACTIVE()) g->set_text("C:\\FIRMA\\");
        });
        GetList fields{InputField(18, 10, dokad, 40)};
        confirmed = READMODAL(fields);
        SETKEY(key::kF2, nullptr);
        if (confirmed) break;
        finished = DECYZJA(true, "Czy chcesz przerwac` instalacje` ?");
    }
    STATLINE(-1);
    ZWIN(info);
    if (confirmed) KOM3("Wybrana kartoteka: " + rtrim(dokad));
    console().restore();
    std::printf("kit_demo: %s\n", confirmed ? rtrim(dokad).c_str() : "przerwano");
    return 0;
}
