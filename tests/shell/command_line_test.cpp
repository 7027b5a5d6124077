#include <gtest/gtest.h>

#include "platform/shell/command_line.h"
#include "platform/shell/member_path.h"

namespace qaro::shell {
namespace {

TEST(CommandLine, SplitsRedirections) {
    struct Case {
        const char* line;
        const char* command;
        const char* output;   // nullptr: none
        bool append;
    };
    const Case cases[] = {
        {"bis.bat > NUL", "bis.bat", "NUL", false},
        {"echo a>b.txt", "echo a", "b.txt", false},
        {"echo a >> LOG.TXT", "echo a", "LOG.TXT", true},
        {"echo \"a > b\"", "echo \"a > b\"", nullptr, false},      // quoted text is not a redirection
        {"copy a b > \"C:\\X Y\\o.txt\"", "copy a b", "C:\\X Y\\o.txt", false},
        {"echo x > a > b", "echo x", "b", false},                  // the last one wins
        {"winrar x -y $m.rar", "winrar x -y $m.rar", nullptr, false},
    };
    for (auto& c : cases) {
        auto r = split_redirections(c.line);
        EXPECT_EQ(r.command, c.command) << c.line;
        ASSERT_EQ(r.output.has_value(), c.output != nullptr) << c.line;
        if (c.output) {
            EXPECT_EQ(*r.output, c.output) << c.line;
        }
        EXPECT_EQ(r.append, c.append) << c.line;
    }
    auto in = split_redirections("type < IN.TXT");
    ASSERT_TRUE(in.input.has_value());
    EXPECT_EQ(*in.input, "IN.TXT");
}

TEST(CommandLine, NullDevice) {
    for (const char* n : {"NUL", "nul", "NUL:", "C:\\DIR\\NUL", "dir\\nul"}) EXPECT_TRUE(is_null_device(n)) << n;
    for (const char* n : {"NULL", "NUL.TXT", "C:\\NUL\\A", ""}) EXPECT_FALSE(is_null_device(n)) << n;
}

TEST(CommandLine, CommandWordAndArguments) {
    struct Case {
        const char* line;
        const char* word;
        const char* rest;
    };
    const Case cases[] = {
        {"cd..", "cd", ".."},
        {"cd\\", "cd", "\\"},
        {"CHDIR\\EXE", "CHDIR", "\\EXE"},
        {"echo.", "echo", "."},
        {"echo hello", "echo", " hello"},
        {"copy/y a b", "copy", "/y a b"},
        {"winrar.exe x a.rar", "winrar.exe", " x a.rar"},
        {"\"C:\\A B\\winrar.exe\" x", "C:\\A B\\winrar.exe", " x"},
        {"cdrom.bat", "cdrom.bat", ""},   // a name that merely begins with "cd"
    };
    for (auto& c : cases) {
        auto cw = split_command_word(c.line);
        EXPECT_EQ(cw.word, c.word) << c.line;
        EXPECT_EQ(cw.rest, c.rest) << c.line;
    }
    EXPECT_EQ(split_arguments("  x  -y \"a b\" c\t"), (std::vector<std::string>{"x", "-y", "a b", "c"}));
}

TEST(CommandLine, BatchParameters) {
    std::vector<std::string> p{"go.bat", "ONE", "C:\\DST"};
    EXPECT_EQ(substitute_parameters("copy %1 %2\\x %3.", p), "copy ONE C:\\DST\\x .");
    EXPECT_EQ(substitute_parameters("echo 100%% done %0", p), "echo 100% done go.bat");
    EXPECT_EQ(substitute_parameters("echo %PATH%x", p), "echo x");   // no environment
    EXPECT_EQ(substitute_parameters("echo 5%", p), "echo 5");       // lone % dropped
}

TEST(CommandLine, NamePatterns) {
    struct Case {
        const char* pattern;
        const char* name;
        const char* result;
    };
    const Case cases[] = {
        {"*.BAK", "A.TXT", "A.BAK"},   {"*.*", "A.TXT", "A.TXT"},       {"*", "PLACE.DBF", "PLACE.DBF"},
        {"X?Z.*", "ABC.DBF", "XBZ.DBF"}, {"NEW.*", "OLD.TXT", "NEW.TXT"}, {"*.", "A.TXT", "A"},
        {"$?.RAR", "PX", "$X.RAR"},
    };
    for (auto& c : cases) EXPECT_EQ(apply_name_pattern(c.pattern, c.name), c.result) << c.pattern << " " << c.name;
    EXPECT_EQ(split_name("C:\\A\\B.TXT").dir, "C:\\A\\");
    EXPECT_EQ(split_name("C:B.TXT").dir, "C:");
    EXPECT_EQ(split_name("B.TXT").dir, "");
}

TEST(MemberPath, RefusesPathsLeavingTheDestination) {
    const char* refused[] = {
        "../evil.txt", "..\\evil.txt", "a/../../evil.txt", "a\\..\\b", "..",
        "/etc/passwd", "\\WINDOWS\\x", "\\\\server\\share\\x", "//server/share/x",
        "C:\\AUTOEXEC.BAT", "c:evil.txt", "a/b:c", "a\x01.txt", "*.txt", "a|b", "", "./", "/",
    };
    for (const char* p : refused) EXPECT_FALSE(safe_member_parts(p).has_value()) << p;
    struct Ok {
        const char* path;
        std::vector<std::string> parts;
    };
    const Ok ok[] = {
        {"A.TXT", {"A.TXT"}},
        {"EXE/MAST.EXE", {"EXE", "MAST.EXE"}},
        {"EXE\\MAST.EXE", {"EXE", "MAST.EXE"}},
        {"./MODYFIK//x.dbf", {"MODYFIK", "x.dbf"}},
        {"dir/", {"dir"}},
        {"a..b/..c", {"a..b", "..c"}},   // dots inside a name are not a parent reference
    };
    for (auto& c : ok) {
        auto parts = safe_member_parts(c.path);
        ASSERT_TRUE(parts.has_value()) << c.path;
        EXPECT_EQ(*parts, c.parts) << c.path;
    }
}

}  // namespace
}  // namespace qaro::shell
