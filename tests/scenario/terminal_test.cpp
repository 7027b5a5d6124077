// The installer in a real terminal: tmux runs it, send-keys types, capture-pane reads the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "scenario.h"

namespace qaro::scenario {
namespace {

class Tmux {
public:
    explicit Tmux(std::string session) : session_(std::move(session)) {}
    ~Tmux() { std::system(("tmux kill-session -t " + session_ + " 2>/dev/null").c_str()); }
    bool start(const std::string& command) {
        std::string c = "tmux new-session -d -s " + session_ + " -x 80 -y 25 '" + command + "'";
        return std::system(c.c_str()) == 0;
    }
    void keys(const std::string& k) { std::system(("tmux send-keys -t " + session_ + " " + k).c_str()); }
    std::string screen() {
        std::string file = "/tmp/" + session_ + ".pane";
        std::system(("tmux capture-pane -p -t " + session_ + " > " + file + " 2>/dev/null").c_str());
        std::string s = read_file(file);
        fsys::remove(file);
        return s;
    }
    // Waits up to 15 s for a text on the screen.
    bool wait_for(const std::string& text) {
        for (int i = 0; i < 150; ++i) {
            if (screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

private:
    std::string session_;
};

TEST(TerminalTest, LicenceDeclinedInARealTerminal) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    Machine m;
    ASSERT_EQ(m.make_cd().exit_code, 0);
    Tmux t("qaro-terminal-" + std::to_string(::getpid()));
    std::string exit_file = m.root() + "/exit.txt";
    ASSERT_TRUE(t.start("cd " + m.cd() + " && env -u QARO_KEYS TERM=xterm-256color QARO_DRIVES=\"C=" + m.c() +
                        ";D=" + m.cd() + "\" " + bin("qarovor") + "; echo $? > " + exit_file + "; sleep 5"));
    ASSERT_TRUE(t.wait_for("Wybierz standard polskich znakow")) << t.screen();
    t.keys("Up Enter");   // Latin 2
    ASSERT_TRUE(t.wait_for("Warunki licencji")) << t.screen();
    EXPECT_TRUE(t.wait_for("UMOWA LICENCYJNA SYSTEMU qaroVORANTA")) << t.screen();
    t.keys("Enter");
    ASSERT_TRUE(t.wait_for("Czy akceptujesz warunki licencji ?")) << t.screen();
    EXPECT_NE(t.screen().find("zaakceptowanie warunków licencji"), std::string::npos) << t.screen();
    t.keys("n");
    ASSERT_TRUE(t.wait_for("Zakończenie instalacji")) << t.screen();
    t.keys("Enter");
    for (int i = 0; i < 100 && read_file(exit_file).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(read_file(exit_file), "1\n");
    EXPECT_TRUE(fsys::is_empty(m.c()));
}

}  // namespace
}  // namespace qaro::scenario
