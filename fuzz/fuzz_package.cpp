// Fuzz target: an arbitrary QAROVOR.DAT is verified, listed into the file listing and every
// listed member extracted. Nothing may crash, hang or be written outside the extraction
// directory.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/screen/console.h"
#include "platform/screen/key_codes.h"
#include "platform/table/work_area.h"
#include "tools/package.h"
#include "tools/package_format.h"

namespace {

// Answers every message with Enter, shows nothing.
class EnterConsole : public qaro::Console {
public:
    void show(const qaro::ScreenModel&) override {}
    int read_key(const qaro::ScreenModel&) override { return qaro::key::kEnter; }
    int poll_key(int) override { return 0; }
    void set_title(std::string_view) override {}
    void restore() override {}
};

const std::string& sandbox() {
    static const std::string root = [] {
        std::string t = (std::filesystem::temp_directory_path() / "qaro_fuzz_pkg_XXXXXX").string();
        if (!mkdtemp(t.data())) std::abort();
        std::filesystem::create_directories(t + "/c/OUT");
        qaro::set_fs(std::make_unique<qaro::PosixFileSystem>(std::map<char, std::string>{{'C', t + "/c"}}, t + "/c"));
        qaro::set_console(std::make_unique<EnterConsole>());
        return t;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& root = sandbox();
    if (!qaro::fs().write_atomic("C:\\QAROVOR.DAT", std::string(reinterpret_cast<const char*>(data), size))) std::abort();
    qaro::package::Listing listing;
    qaro::package::read_listing("C:\\QAROVOR.DAT", listing, nullptr);
    qaro::package::verify("C:\\QAROVOR.DAT", nullptr);
    if (qaro::LISTA_PLIKOW("C:\\", "C:\\OUT")) {
        for (auto& m : listing.members) qaro::EXTRACT_FILE(qaro::EXTRACT_NAME(m.path), "C:\\", "C:\\OUT\\X");
    }
    qaro::work_areas().close_all();
    // Nothing may land beside the package or above the sandbox.
    for (auto& e : std::filesystem::directory_iterator(root + "/c")) {
        auto name = e.path().filename().string();
        if (name != "QAROVOR.DAT" && name != "OUT") std::abort();
    }
    std::error_code ec;
    std::filesystem::remove_all(root + "/c/OUT/X", ec);
    return 0;
}
