// Fuzz target: the built-in unpacker extracts an arbitrary archive. It must never crash, hang or
// write outside its destination directory.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/shell/command_interpreter.h"

namespace {
const std::string& sandbox() {
    static const std::string root = [] {
        std::string t = (std::filesystem::temp_directory_path() / "qaro_fuzz_arc_XXXXXX").string();
        if (!mkdtemp(t.data())) std::abort();
        std::filesystem::create_directories(t + "/c/W");
        qaro::set_fs(std::make_unique<qaro::PosixFileSystem>(std::map<char, std::string>{{'C', t + "/c"}}, t + "/c/W"));
        return t;
    }();
    return root;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& root = sandbox();
    if (!qaro::fs().write_atomic("C:\\W\\A.RAR", std::string(reinterpret_cast<const char*>(data), size))) std::abort();
    qaro::run_command_interpreter("/C winrar x -y -o+ -ibck A.RAR OUT\\ > NUL");
    for (auto& e : std::filesystem::directory_iterator(root + "/c")) {
        if (e.path().filename() != "W") std::abort();
    }
    for (auto& e : std::filesystem::directory_iterator(root + "/c/W")) {
        auto name = e.path().filename().string();
        if (name != "A.RAR" && name != "OUT") std::abort();
    }
    std::error_code ec;
    std::filesystem::remove_all(root + "/c/W/OUT", ec);
    return 0;
}
