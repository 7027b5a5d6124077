// A temporary drive sandbox for tests: C: (and optionally more letters; the first one holds the
// working directory) mapped to fresh host
// directories, installed as the run's file system, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"

namespace qaro::test {

class Sandbox {
public:
    explicit Sandbox(const std::string& letters = "C", const std::string& cwd_rel = "") {
        char tmpl[] = "/tmp/qaro-test-XXXXXX";
        root_ = ::mkdtemp(tmpl);
        std::map<char, std::string> drives;
        for (char l : letters) {
            std::string d = root_ + "/" + std::string(1, l);
            std::filesystem::create_directories(d);
            drives[l] = d;
        }
        std::string cwd = drives[letters.at(0)] + (cwd_rel.empty() ? "" : "/" + cwd_rel);
        std::filesystem::create_directories(cwd);
        set_fs(std::make_unique<PosixFileSystem>(drives, cwd));
    }
    ~Sandbox() {
        set_fs(nullptr);
        std::error_code ec;
        // Read-only files and directories do not stop the removal (tests run as root or not).
        for (auto& e : std::filesystem::recursive_directory_iterator(root_, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Host path of drive `letter`'s root, or of a file below it ("C", "FIRMA/X.DBF").
    std::string host(char letter, const std::string& rel = "") const {
        return root_ + "/" + std::string(1, letter) + (rel.empty() ? "" : "/" + rel);
    }
    const std::string& root() const { return root_; }

    void write_host(char letter, const std::string& rel, const std::string& bytes) const {
        auto p = std::filesystem::path(host(letter, rel));
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string read_host(char letter, const std::string& rel) const {
        std::ifstream in(host(letter, rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string root_;
};

}  // namespace qaro::test
