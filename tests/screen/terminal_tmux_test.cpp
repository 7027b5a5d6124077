// The kit in a real terminal: kit_demo runs in a detached tmux session; keys go in with
// send-keys and the screen comes back with capture-pane.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    pclose(p);
    return out;
}

class TmuxSession {
public:
    TmuxSession() : socket_("qaro_kit_test_" + std::to_string(getpid())) {}
    ~TmuxSession() { std::system((tmux() + " kill-server >/dev/null 2>&1").c_str()); }

    bool start(const std::string& program) {
        std::string cmd = tmux() + " new-session -d -x 80 -y 25 -s kit \"" + program +
                          "; echo kit_demo exit \\$?; sleep 60\"";
        return std::system(cmd.c_str()) == 0;
    }
    void keys(const std::string& names) {
        std::system((tmux() + " send-keys -t kit " + names).c_str());
    }
    std::string pane() { return run(tmux() + " capture-pane -p -t kit"); }
    // "1" while the program holds the terminal's alternate (full-screen) screen, "0" once it gave it back.
    std::string alternate_screen() { return run(tmux() + " display-message -p -t kit '#{alternate_on}'"); }
    // The pane once it shows `text`, or the last pane after a few seconds.
    std::string wait_for(const std::string& text) {
        std::string p;
        for (int i = 0; i < 100; ++i) {
            p = pane();
            if (p.find(text) != std::string::npos) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return p;
    }

private:
    std::string tmux() const { return "LC_ALL=C.UTF-8 tmux -u -f /dev/null -L " + socket_; }
    std::string socket_;
};

TEST(TerminalTmux, KeysAndScreenInARealTerminal) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    const char* bin = std::getenv("QARO_BIN_DIR");
    std::string demo = std::string(bin ? bin : QARO_BIN_DIR) + "/kit_demo";
    if (access(demo.c_str(), X_OK) != 0) GTEST_SKIP() << demo << " is not built";

    TmuxSession t;
    ASSERT_TRUE(t.start("env -u QARO_KEYS TERM=screen " + demo));
    std::string p = t.wait_for("Automatyczne przeszukiwanie");
    EXPECT_NE(p.find("Instalacja systemu »qaroVORANTA« (demonstracja)"), std::string::npos) << p;
    EXPECT_NE(p.find("Wprowadź pełną ścieżkę do kartoteki systemu."), std::string::npos) << p;
    EXPECT_NE(p.find("╔"), std::string::npos) << p;

    t.keys("F2");
    p = t.wait_for("C:\\FIRMA\\");
    EXPECT_NE(p.find("C:\\FIRMA\\"), std::string::npos) << p;

    // Insert mode: X goes in front of the text instead of over its first character.
    t.keys("Home IC X");
    p = t.wait_for("XC:\\FIRMA\\");
    EXPECT_NE(p.find("XC:\\FIRMA\\"), std::string::npos) << p;

    t.keys("Escape");
    p = t.wait_for("Czy chcesz przerwać instalację ?");
    EXPECT_NE(p.find("Czy chcesz przerwać instalację ?"), std::string::npos) << p;
    EXPECT_NE(p.find("Tak"), std::string::npos);

    // No: back to the field, without the edits left with Esc.
    t.keys("n");
    p = t.wait_for("Automatyczne przeszukiwanie");
    EXPECT_EQ(p.find("XC:\\FIRMA\\"), std::string::npos) << p;
    t.keys("F2 Enter");
    p = t.wait_for("Wybrana kartoteka: C:\\FIRMA\\");
    EXPECT_NE(p.find("Wybrana kartoteka: C:\\FIRMA\\"), std::string::npos) << p;

    // Any key ends the program; the terminal is handed back.
    t.keys("Enter");
    p = t.wait_for("kit_demo exit");
    EXPECT_NE(p.find("kit_demo: C:\\FIRMA\\"), std::string::npos) << p;
    EXPECT_NE(p.find("kit_demo exit 0"), std::string::npos) << p;
    EXPECT_EQ(p.find("╔"), std::string::npos) << "the kit's screen is gone after the end\n" << p;
    EXPECT_EQ(t.alternate_screen(), "0\n");
}

TEST(TerminalTmux, TerminalIsHandedBackAfterAnUncaughtException) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    const char* bin = std::getenv("QARO_BIN_DIR");
    std::string demo = std::string(bin ? bin : QARO_BIN_DIR) + "/kit_demo";
    if (access(demo.c_str(), X_OK) != 0) GTEST_SKIP() << demo << " is not built";

    TmuxSession t;
    ASSERT_TRUE(t.start("env -u QARO_KEYS TERM=screen " + demo + " throw 2>/dev/null"));
    std::string p = t.wait_for("aby wywołać błąd");
    ASSERT_NE(p.find("aby wywołać błąd"), std::string::npos) << p;
    EXPECT_EQ(t.alternate_screen(), "1\n");
    t.keys("Enter");
    p = t.wait_for("kit_demo exit");
    EXPECT_NE(p.find("kit_demo exit 134"), std::string::npos) << p;   // abort after the uncaught exception
    EXPECT_EQ(t.alternate_screen(), "0\n") << "the terminal must leave the kit's screen\n" << p;
}

}  // namespace
