// qarovor: the installer and updater. Positional command line:
//   qarovor [DYSK [FLOP [ASCIEZKA [AWARIANT [ADANA [AKLUCZ]]]]]]
#include <cstdio>
#include <exception>

#include "instal/sequence.h"
#include "platform/screen/console.h"

int main(int argc, char** argv) {
    qaro::Params params;
    for (int i = 1; i < argc && i <= 6; ++i) params[static_cast<std::size_t>(i - 1)] = std::string(argv[i]);
    int code;
    try {
        code = qaro::MAIN(params);
    } catch (const std::exception& e) {
        qaro::console().restore();
        std::fprintf(stderr, "qarovor: unexpected error: %s\n", e.what());
        return 2;
    }
    qaro::console().restore();
    return code;
}
