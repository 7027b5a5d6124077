// A C: drive in a temporary host directory, and a console that answers every key wait with
// Enter and keeps what the screen showed at each wait.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"
#include "platform/screen/console.h"
#include "platform/screen/headless_console.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/kit.h"
#include "platform/variable_set.h"

namespace qaro::test {

class RecordingConsole : public Console {
public:
    explicit RecordingConsole(std::vector<std::string>* waits) : waits_(waits) {}
    void show(const ScreenModel&) override {}
    int read_key(const ScreenModel& screen) override {
        waits_->push_back(HeadlessConsole::dump_text(screen));
        return key::kEnter;
    }
    int poll_key(int) override { return 0; }
    void set_title(std::string_view) override {}
    void restore() override {}

private:
    std::vector<std::string>* waits_;
};

class XinstalSandbox : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qaro_xinstal_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        set_fs(std::make_unique<PosixFileSystem>(std::map<char, std::string>{{'C', root_.string()}}, root_.string()));
        set_console(std::make_unique<RecordingConsole>(&waits_));
        reset_screen_kit();
        variables().clear();
    }
    void TearDown() override {
        set_console(nullptr);
        set_fs(nullptr);
        variables().clear();
        std::error_code ec;
        // Read-only files are plain files for the host; the directory's own permissions decide.
        std::filesystem::remove_all(root_, ec);
    }

    // Host path of a path relative to C:\ given with backslashes.
    std::filesystem::path host(std::string dos) const {
        for (auto& c : dos)
            if (c == '\\') c = '/';
        return root_ / dos;
    }
    void put(const std::string& dos, const std::string& bytes) {
        std::filesystem::create_directories(host(dos).parent_path());
        std::ofstream(host(dos), std::ios::binary) << bytes;
    }
    void mkdir(const std::string& dos) { std::filesystem::create_directories(host(dos)); }
    bool exists(const std::string& dos) const { return std::filesystem::exists(host(dos)); }
    std::string get(const std::string& dos) const {
        std::ifstream in(host(dos), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // True when some key wait showed `text` on the screen.
    bool shown(const std::string& text) const {
        for (auto& w : waits_)
            if (w.find(text) != std::string::npos) return true;
        return false;
    }

    std::filesystem::path root_;
    std::vector<std::string> waits_;
};

}  // namespace qaro::test
