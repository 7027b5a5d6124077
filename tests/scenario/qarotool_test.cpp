// qarotool as the support staff run it: variable files, package files.
#include <gtest/gtest.h>

#include "scenario.h"

namespace qaro::scenario {
namespace {

class QarotoolTest : public ::testing::Test {
protected:
    Result tool(std::vector<std::string> args) {
        args.insert(args.begin(), bin("qarotool"));
        return run(args, m.root());
    }
    Machine m;
};

TEST_F(QarotoolTest, VariableFileListSetAndHeader) {
    std::string f = m.root() + "/SPEC/ZAS.ZUS";   // settings files are variable files under any name
    fsys::create_directories(m.root() + "/SPEC");
    EXPECT_EQ(tool({"xpf", f, "set", "p_pol", "N", "2"}).exit_code, 0);
    EXPECT_EQ(tool({"xpf", f, "set", "od_dnia", "D", "20240229"}).exit_code, 0);
    EXPECT_EQ(tool({"xpf", f, "set", "siec", "L", "T"}).exit_code, 0);
    EXPECT_EQ(tool({"xpf", f, "set", "nazwa", "C", "Firma \"A\\B\""}).exit_code, 0);
    EXPECT_EQ(tool({"xpf", f, "set-header", "System qaroVORANTA program MASTER, Nowa"}).exit_code, 0);
    EXPECT_EQ(tool({"xpf", f, "set", "p_pol", "N", "1.5"}).exit_code, 0);   // replaces, keeps the rest
    auto r = tool({"xpf", f});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.output.find("od_dnia D 20240229\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("p_pol N 1.5\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("siec L T\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("nazwa C \"Firma \\x22A\\x5CB\\x22\"\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" deciphered \"System qaroVORANTA program MASTER, Nowa\"\n"), std::string::npos) << r.output;

    struct Bad {
        std::vector<std::string> args;
        int code;
    };
    const Bad bad[] = {{{"xpf", f, "set", "x", "D", "20231301"}, 1},
                       {{"xpf", f, "set", "x", "N", "abc"}, 1},
                       {{"xpf", f, "set", "x", "Q", "1"}, 1},
                       {{"xpf", m.root() + "/missing.xpf"}, 1}};
    for (auto& b : bad) EXPECT_EQ(tool(b.args).exit_code, b.code) << b.args[3];

    std::string bytes = read_file(f);
    bytes[bytes.size() / 2] ^= 0x11;
    write_file(m.root() + "/damaged.xpf", bytes);
    r = tool({"xpf", m.root() + "/damaged.xpf"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("damaged.xpf"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(" N "), std::string::npos);   // no partial listing
}

TEST_F(QarotoolTest, PackListVerify) {
    write_file(m.root() + "/src/_VOR_BAZ/master.0", "archive bytes");
    write_file(m.root() + "/src/readme", "");
    fsys::permissions(m.root() + "/src/readme", fsys::perms::owner_write | fsys::perms::group_write | fsys::perms::others_write,
                      fsys::perm_options::remove);
    ASSERT_EQ(tool({"pack", m.root() + "/src", m.root() + "/P.DAT"}).exit_code, 0);
    auto r = tool({"list", m.root() + "/P.DAT"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.output.find("README R "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("_VOR_BAZ\\MASTER.0 - "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" 13\n"), std::string::npos) << r.output;
    EXPECT_EQ(tool({"verify", m.root() + "/P.DAT"}).exit_code, 0);

    std::string p = read_file(m.root() + "/P.DAT");
    write_file(m.root() + "/P.DAT", p + "x");
    r = tool({"verify", m.root() + "/P.DAT"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("differs from the file size"), std::string::npos) << r.output;
    p[p.size() - 1] ^= 1;
    write_file(m.root() + "/P.DAT", p);
    r = tool({"verify", m.root() + "/P.DAT"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("checksum"), std::string::npos) << r.output;
    EXPECT_EQ(tool({"list", m.root() + "/nothing.dat"}).exit_code, 1);
}

}  // namespace
}  // namespace qaro::scenario
