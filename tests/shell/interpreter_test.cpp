#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/shell/command_interpreter.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

using test::Sandbox;

// The sandbox stands in C:\QARO; A: is a second drive standing at its root.
class InterpreterTest : public ::testing::Test {
protected:
    InterpreterTest() : box_("CA", "QARO") {}
    // Host path below C:\QARO.
    std::string here(const std::string& rel) const { return box_.host('C', "QARO/" + rel); }
    bool exists_here(const std::string& rel) const { return std::filesystem::exists(here(rel)); }
    std::string read_here(const std::string& rel) const { return box_.read_host('C', "QARO/" + rel); }
    void put(const std::string& rel, const std::string& bytes) const { box_.write_host('C', "QARO/" + rel, bytes); }

    Sandbox box_;
};

// One batch per row, run once with LF and once with CR LF line ends. `files` holds what must be
// there afterwards (host path below C:\, content) or, with content nullptr, must not be there.
TEST_F(InterpreterTest, BatchCommands) {
    struct Expect {
        const char* path;
        const char* content;   // nullptr: absent; "*": present, any content
    };
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> setup;   // below C:\QARO
        std::vector<const char*> read_only;                      // set read-only before the run
        const char* batch;
        int errorlevel;
        std::vector<Expect> files;
    };
    const Case cases[] = {
        {"md cd echo into a file", {}, {}, "@echo off\nmd SUB\ncd SUB\necho hello> a.txt\n", 0,
         {{"QARO/SUB/a.txt", "hello\r\n"}}},
        {"append", {}, {}, "echo one> log.txt\necho two >>LOG.TXT\n", 0, {{"QARO/log.txt", "one\r\ntwo\r\n"}}},
        {"echo dot gives an empty line", {}, {}, "echo.> e.txt\n", 0, {{"QARO/e.txt", "\r\n"}}},
        {"copy wildcard into a directory", {{"X1.TXT", "1"}, {"X2.TXT", "2"}, {"Y.DAT", "y"}}, {},
         "md OUT\ncopy *.TXT OUT\n", 0, {{"QARO/OUT/X1.TXT", "1"}, {"QARO/OUT/X2.TXT", "2"}, {"QARO/OUT/Y.DAT", nullptr}}},
        {"copy wildcard to a pattern", {{"X1.TXT", "1"}, {"X2.TXT", "2"}}, {}, "copy X?.TXT *.BAK\n", 0,
         {{"QARO/X1.BAK", "1"}, {"QARO/X2.BAK", "2"}}},
        {"copy /y over an existing file", {{"A.TXT", "new"}, {"B.TXT", "old"}}, {}, "copy /y A.TXT B.TXT\n", 0,
         {{"QARO/B.TXT", "new"}}},
        {"copy to another drive's root", {{"A.TXT", "a"}}, {}, "copy A.TXT A:\\\n", 0, {{"../A/A.TXT", "a"}}},
        {"copy does not overwrite a read-only file", {{"A.TXT", "new"}, {"B.TXT", "old"}}, {"B.TXT"},
         "copy A.TXT B.TXT\n", 1, {{"QARO/B.TXT", "old"}}},
        {"copy of a missing file", {}, {}, "copy NONE.TXT X.TXT\n", 1, {{"QARO/X.TXT", nullptr}}},
        {"del wildcard keeps read-only files", {{"A.TXT", "a"}, {"B.TXT", "b"}, {"C.DAT", "c"}}, {"B.TXT"},
         "del *.txt\n", 1, {{"QARO/A.TXT", nullptr}, {"QARO/B.TXT", "b"}, {"QARO/C.DAT", "c"}}},
        {"erase one file", {{"A.TXT", "a"}, {"B.TXT", "b"}}, {}, "erase a.txt\n", 0,
         {{"QARO/A.TXT", nullptr}, {"QARO/B.TXT", "b"}}},
        {"del of a directory empties it", {{"D/A.TXT", "a"}, {"D/B.TXT", "b"}}, {}, "del D\n", 0,
         {{"QARO/D/A.TXT", nullptr}, {"QARO/D/B.TXT", nullptr}, {"QARO/D", "*"}}},
        {"ren and rename", {{"A.TXT", "a"}, {"B.TXT", "b"}}, {}, "ren A.TXT A2.TXT\nrename b.txt B2.TXT\n", 0,
         {{"QARO/A.TXT", nullptr}, {"QARO/A2.TXT", "a"}, {"QARO/B2.TXT", "b"}}},
        {"ren onto an existing name", {{"A.TXT", "a"}, {"B.TXT", "b"}}, {}, "ren A.TXT B.TXT\n", 1,
         {{"QARO/A.TXT", "a"}, {"QARO/B.TXT", "b"}}},
        {"mkdir rd rmdir", {}, {}, "mkdir X\nmd Y\nrd X\n", 0, {{"QARO/X", nullptr}, {"QARO/Y", "*"}}},
        {"drive change", {}, {}, "A:\nmd X\necho x> X\\f.txt\n", 0, {{"../A/X/f.txt", "x\r\n"}}},
        {"cd to the root and chdir up", {}, {}, "md SUB\ncd SUB\nchdir..\nmd UP\ncd \\\nmd TOP\ncd\\QARO\\SUB\nmd IN\n", 0,
         {{"QARO/UP", "*"}, {"TOP", "*"}, {"QARO/SUB/IN", "*"}}},
        {"cd to a missing directory", {}, {}, "cd NOWHERE\n", 1, {}},
        {"unknown command goes on", {}, {}, "frobnicate now\necho after> after.txt\n", 1, {{"QARO/after.txt", "after\r\n"}}},
        {"program that cannot run", {{"TOOL.EXE", "MZ"}}, {}, "tool\n", 1, {}},
        {"goto skips lines", {}, {}, "goto :skip\necho no> no.txt\n:SKIP\necho yes> yes.txt\n", 0,
         {{"QARO/no.txt", nullptr}, {"QARO/yes.txt", "yes\r\n"}}},
        {"goto a missing label ends the batch", {}, {}, "goto nowhere\necho no> no.txt\n", 1, {{"QARO/no.txt", nullptr}}},
        {"errorlevel and if errorlevel", {}, {}, "frob\nif errorlevel 1 echo e> e.txt\nif errorlevel 2 echo f> f.txt\n", 1,
         {{"QARO/e.txt", "e\r\n"}, {"QARO/f.txt", nullptr}}},
        {"string comparison", {}, {}, "if \"%1\"==\"\" echo empty> e.txt\nif not a==b echo differ> d.txt\n", 0,
         {{"QARO/e.txt", "empty\r\n"}, {"QARO/d.txt", "differ\r\n"}}},
        {"remark with a redirection", {}, {}, "rem nothing > x.txt\nREM\n", 0, {{"QARO/x.txt", nullptr}}},
        {"exit ends the run", {}, {}, "echo a> a.txt\nexit 3\necho b> b.txt\n", 3,
         {{"QARO/a.txt", "a\r\n"}, {"QARO/b.txt", nullptr}}},
        {"redirect to NUL", {}, {}, "echo hidden > NUL\ncopy NONE X > nul\n", 1, {{"QARO/NUL", nullptr}}},
        {"type into a file", {{"A.TXT", "abc"}}, {}, "type A.TXT > B.TXT\n", 0, {{"QARO/B.TXT", "abc"}}},
        {"attrib clears read-only", {{"A.TXT", "a"}}, {"A.TXT"}, "attrib -r A.TXT\ndel A.TXT\n", 0, {{"QARO/A.TXT", nullptr}}},
        {"text after Ctrl+Z is not run", {}, {}, "echo a> a.txt\n\x1a" "echo b> b.txt\n", 0, {{"QARO/b.txt", nullptr}}},
    };
    for (const char* eol : {"\n", "\r\n"}) {
        for (auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (eol[1] ? " (CR LF)" : " (LF)"));
            Sandbox box("CA", "QARO");
            for (auto& [rel, bytes] : c.setup) box.write_host('C', std::string("QARO/") + rel, bytes);
            for (auto& rel : c.read_only) {
                ASSERT_TRUE(fs().set_attributes(std::string("C:\\QARO\\") + rel, attr::kReadOnly));
            }
            std::string text;
            for (const char* p = c.batch; *p; ++p) text += *p == '\n' ? std::string(eol) : std::string(1, *p);
            std::string console;
            EXPECT_EQ(run_batch_text(text, &console), c.errorlevel) << console;
            for (auto& e : c.files) {
                std::string host = box.host('C', e.path);
                if (!e.content) {
                    EXPECT_FALSE(std::filesystem::exists(host)) << e.path;
                } else if (std::string(e.content) == "*") {
                    EXPECT_TRUE(std::filesystem::exists(host)) << e.path;
                } else {
                    EXPECT_EQ(box.read_host('C', e.path), e.content) << e.path;
                }
            }
        }
    }
}

TEST_F(InterpreterTest, IfExist) {
    put("HERE.TXT", "x");
    std::filesystem::create_directories(here("SUBD"));
    struct Case {
        const char* condition;
        bool runs;
    };
    const Case cases[] = {
        {"exist HERE.TXT", true},      {"exist here.txt", true},      {"exist C:\\QARO\\HERE.TXT", true},
        {"exist MISSING.TXT", false},  {"not exist MISSING.TXT", true}, {"not exist HERE.TXT", false},
        {"exist *.TXT", true},         {"exist *.DBF", false},        {"exist SUBD\\NUL", true},
        {"exist NOPE\\NUL", false},    {"exist SUBD", true},          {"NOT EXIST A:\\HERE.TXT", true},
    };
    for (auto& c : cases) {
        std::filesystem::remove(here("r.txt"));
        EXPECT_EQ(run_batch_text(std::string("if ") + c.condition + " echo y> r.txt\r\n"), 0) << c.condition;
        EXPECT_EQ(exists_here("r.txt"), c.runs) << c.condition;
    }
    EXPECT_EQ(run_batch_text("if exist\r\n"), 1);   // nothing to run: syntax error
}

TEST_F(InterpreterTest, CallReturnsAndPlainStartDoesNot) {
    put("SUB.BAT", "@echo %1 %2> called.txt\r\n@exit-not-a-command\r\n");
    EXPECT_EQ(run_batch_text("call sub.bat ARG \"TWO\"\r\necho back> back.txt\r\n"), 1);   // errorlevel from SUB
    EXPECT_EQ(read_here("called.txt"), "ARG TWO\r\n");
    EXPECT_TRUE(exists_here("back.txt"));

    std::filesystem::remove(here("back.txt"));
    EXPECT_EQ(run_batch_text("SUB X\r\necho back> back.txt\r\n"), 1);   // without call: no return
    EXPECT_EQ(read_here("called.txt"), "X\r\n");   // blanks before a redirection are dropped
    EXPECT_FALSE(exists_here("back.txt"));
}

TEST_F(InterpreterTest, RunawayBatchesStop) {
    put("SELF.BAT", "call self.bat\r\n");
    EXPECT_EQ(run_command_interpreter("/C self.bat"), 1);
    EXPECT_EQ(run_batch_text(":top\r\ngoto top\r\n"), 1);
}

TEST_F(InterpreterTest, EchoStateAndDiscardedOutput) {
    put("bis.bat", "echo first\r\n@echo off\r\necho second\r\nfrob\r\n");
    std::string shown;
    EXPECT_EQ(run_command_interpreter("/C bis.bat", &shown), 1);
    EXPECT_EQ(shown, "C:\\QARO>echo first\r\nfirst\r\nsecond\r\nBad command or file name\r\n");
    std::string discarded;
    EXPECT_EQ(run_command_interpreter("/C bis.bat > NUL", &discarded), 1);
    EXPECT_EQ(discarded, "");
}

TEST_F(InterpreterTest, OneCommandAfterSlashC) {
    std::string shown;
    EXPECT_EQ(run_command_interpreter("/C echo hi> out.txt", &shown), 0);
    EXPECT_EQ(read_here("out.txt"), "hi\r\n");
    EXPECT_EQ(run_command_interpreter("/c md NEW"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(here("NEW")));
    EXPECT_EQ(run_command_interpreter("/C md NEW"), 1);   // exists already
    EXPECT_EQ(run_command_interpreter("/C missing.bat > NUL"), 1);
}

TEST_F(InterpreterTest, LeavesDrivesAndDirectoriesAsTheyWere) {
    std::filesystem::create_directories(box_.host('A', "SUB"));
    std::filesystem::create_directories(here("DEEP"));
    put("bis.bat", "cd DEEP\r\ncd \\\r\nA:\r\ncd SUB\r\nmd MADE\r\n");
    EXPECT_EQ(run_command_interpreter("/C bis.bat > NUL"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(box_.host('A', "SUB/MADE")));   // the batch did move
    EXPECT_EQ(fs().current_drive(), 'C');
    EXPECT_EQ(fs().current_dir('C'), "QARO");
    EXPECT_EQ(fs().current_dir('A'), "");
    EXPECT_EQ(run_batch_text("A:\r\ncd SUB\r\n"), 0);
    EXPECT_EQ(fs().current_drive(), 'C');
    EXPECT_EQ(fs().current_dir('A'), "");
}

TEST_F(InterpreterTest, MinusOneOnlyWhenItCannotStart) {
    std::filesystem::create_directories(here("GONE"));
    ASSERT_TRUE(fs().change_dir("GONE"));
    std::filesystem::remove(here("GONE"));
    EXPECT_EQ(run_command_interpreter("/C echo x"), -1);
    EXPECT_EQ(run_batch_text("echo x\r\n"), -1);
    ASSERT_TRUE(fs().change_dir("C:\\QARO"));
    EXPECT_EQ(run_command_interpreter("bis.bat"), -1);   // no /C: an interactive interpreter
    EXPECT_EQ(run_command_interpreter(""), -1);
    // Started, but the batch is missing or fails inside: not -1.
    EXPECT_EQ(run_command_interpreter("/C bis.bat > NUL"), 1);
    put("bis.bat", "winrar x -y $m.rar\r\n");
    EXPECT_GT(run_command_interpreter("/C bis.bat > NUL"), 0);
}

// As on DOS the batch file is read again before each line, from where the last line ended:
// a batch rewritten while it runs goes on with the new text (the restart batch relies on it).
TEST_F(InterpreterTest, BatchIsReadAgainBeforeEveryLine) {
    const std::string first = "@copy next.txt bis.bat > NUL\r\n";
    put("next.txt", first + "@echo new> new.txt\r\n");
    put("bis.bat", first + "@echo old> old.txt\r\n");
    EXPECT_EQ(run_command_interpreter("/C bis.bat > NUL"), 0);
    EXPECT_TRUE(exists_here("new.txt"));
    EXPECT_FALSE(exists_here("old.txt"));
}

}  // namespace
}  // namespace qaro
