// qarotool mem / mem2xpf run as the support staff run them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string qarotool() { return std::string(QARO_BIN_DIR) + "/qarotool"; }

// Runs a shell command; returns its stdout and sets `rc` to its exit code.
std::string run(const std::string& cmd, int& rc) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

class QarotoolMem : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(qarotool())) GTEST_SKIP() << "qarotool is not built";
        std::string tmpl = (std::filesystem::temp_directory_path() / "qaro_memtool_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::copy_file(std::string(QARO_FIXTURES_DIR) + "/mem_text.mem", dir_ / "TEXT.MEM");
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    // The tool works on host paths.
    std::string at(const std::string& name) const { return "'" + (dir_ / name).string() + "'"; }
    std::string tool(const std::string& args, int& rc) {
        return run("'" + qarotool() + "' " + args + " 2>/dev/null", rc);
    }
    std::filesystem::path dir_;
};

TEST_F(QarotoolMem, ListsTheReadersValuesAndWritesNothing) {
    int rc = -1;
    std::string out = tool("mem " + at("TEXT.MEM"), rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.rfind("T_TABS C \"a\\x09b\\x09\\x09c\"\n", 0), 0u) << out;
    EXPECT_NE(out.find("\nT_EOF C \"ends with ctrl-z\"\n"), std::string::npos);
    EXPECT_NE(out.find("\nT_141 C \"x\\x0D\\x0Ay\"\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 18);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "TEXT.XPF"));
}

TEST_F(QarotoolMem, ConvertsOneFileAndRefusesToReadTheResultAsLegacy) {
    int rc = -1;
    tool("mem2xpf " + at("TEXT"), rc);
    EXPECT_EQ(rc, 0);
    ASSERT_TRUE(std::filesystem::exists(dir_ / "TEXT.XPF"));
    std::string listed = tool("xpf " + at("TEXT.XPF"), rc);
    EXPECT_EQ(rc, 0);
    EXPECT_NE(listed.find("T_SOFTCR C \"soft\\x0D\\x0Awrapped\"\n"), std::string::npos) << listed;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 18);
    tool("mem " + at("TEXT.XPF"), rc);
    EXPECT_EQ(rc, 1);
}

}  // namespace
