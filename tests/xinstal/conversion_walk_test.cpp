#include "xinstal/conversion_walk.h"

#include <map>

#include "instal/services/leave_sequence.h"
#include "mem_builder.h"
#include "platform/variable_store.h"
#include "platform/variable_text.h"
#include "xinstal_sandbox.h"

namespace qaro {
namespace {

using test::mem_file;
using test::mem_number;
using test::mem_text;

class Walk : public test::XinstalSandbox {
protected:
    std::string saved(const std::string& dos_path) {
        VariableSet set;
        std::string error;
        if (!restore_variables("C:\\" + dos_path, &error, set)) return "unreadable: " + error;
        std::string s;
        for (auto* v : set.all()) s += variable_line(*v) + "\n";
        return s;
    }
    // Every file of the tree (relative host path -> content).
    std::map<std::string, std::string> tree() const {
        std::map<std::string, std::string> t;
        for (auto& e : std::filesystem::recursive_directory_iterator(root_))
            if (e.is_regular_file()) t[std::filesystem::relative(e.path(), root_).string()] = get(
                std::filesystem::relative(e.path(), root_).string());
        return t;
    }

    // An installed system in C:\QARO.
    void make_system() {
        put("QARO\\PLACE.DBN", "catalog");
        put("QARO\\konfig.mem", mem_file(mem_text("FIRMA", "Alfa")));
        put("QARO\\NOTES.TXT", mem_file(mem_number("NOT", 1)));   // not a .MEM name: left alone
        put("QARO\\LONG.MEMO", mem_file(mem_number("NOT", 2)));
        put("QARO\\SPEC\\PODATEK.PLT", mem_file(mem_number("PROG", 85528)));
        put("QARO\\SPEC\\ZAS.ZUS", mem_file(mem_number("ZAS", 1)));
        put("QARO\\SPEC\\OTHER.PLT", mem_file(mem_number("OTHER", 1)));   // not on the list
        put("QARO\\SPEC\\S.MEM", mem_file(mem_number("S", 1)));
        put("QARO\\PRINTER\\EPSON.DRU", mem_file(mem_text("INIT", "\x1B@")));
        put("QARO\\PRINTER\\NOTE.TXT", "note");
        put("QARO\\DATA\\A.MEM", mem_file(mem_number("A", 1)));
        put("QARO\\DATA\\A.XPF", "newer current file");
        put("QARO\\DATA\\E.MEM", "\x1A");
        put("QARO\\DATA\\DEEP\\D.MEM", mem_file(mem_number("D", 1)));
        mkdir("QARO\\DATA\\W.XPF");   // a directory where the output should go
        put("QARO\\DATA\\W.MEM", mem_file(mem_number("W", 1)));
        // A .DRU file already in the current format.
        VariableSet hp;
        hp.set("INIT", Value("\x1B" "E"));
        ASSERT_TRUE(save_variables("C:\\QARO\\PRINTER\\HP.DRU", "*", "", hp));
    }
};

TEST_F(Walk, ConvertsTheMainDirectoryAndItsSubdirectories) {
    make_system();
    const std::string hp = get("QARO\\PRINTER\\HP.DRU");

    ASSERT_TRUE(M2X_E(Value("C:\\QARO")));

    EXPECT_FALSE(exists("QARO\\konfig.mem"));
    EXPECT_EQ(saved("QARO\\KONFIG.XPF"), "FIRMA C \"Alfa\"\n");
    EXPECT_EQ(get("QARO\\NOTES.TXT"), mem_file(mem_number("NOT", 1)));
    EXPECT_EQ(get("QARO\\LONG.MEMO"), mem_file(mem_number("NOT", 2)));

    EXPECT_EQ(saved("QARO\\SPEC\\PODATEK.PLT"), "PROG N 85528\n");
    EXPECT_EQ(saved("QARO\\SPEC\\ZAS.ZUS"), "ZAS N 1\n");
    EXPECT_EQ(get("QARO\\SPEC\\OTHER.PLT"), mem_file(mem_number("OTHER", 1)));
    EXPECT_EQ(saved("QARO\\SPEC\\S.XPF"), "S N 1\n");
    EXPECT_FALSE(exists("QARO\\SPEC\\S.MEM"));

    EXPECT_EQ(saved("QARO\\PRINTER\\EPSON.DRU"), "INIT C \"\\x1B@\"\n");
    EXPECT_EQ(get("QARO\\PRINTER\\HP.DRU"), hp);
    EXPECT_EQ(get("QARO\\PRINTER\\NOTE.TXT"), "note");

    // An existing target is kept and the legacy file deleted without converting it.
    EXPECT_EQ(get("QARO\\DATA\\A.XPF"), "newer current file");
    EXPECT_FALSE(exists("QARO\\DATA\\A.MEM"));
    // No variable: no target, the legacy file goes.
    EXPECT_FALSE(exists("QARO\\DATA\\E.MEM"));
    EXPECT_FALSE(exists("QARO\\DATA\\E.XPF"));
    // Deeper directories are not visited.
    EXPECT_EQ(get("QARO\\DATA\\DEEP\\D.MEM"), mem_file(mem_number("D", 1)));
    EXPECT_FALSE(exists("QARO\\DATA\\DEEP\\D.XPF"));
    // The target could not be written: the legacy file stays, the walk went on.
    EXPECT_EQ(get("QARO\\DATA\\W.MEM"), mem_file(mem_number("W", 1)));
    EXPECT_TRUE(shown("W.XPF"));
    // That is the only message: the missing SPEC files are passed over silently.
    EXPECT_EQ(waits_.size(), 1u);

    EXPECT_EQ(variables().size(), 0u);
    EXPECT_EQ(get("QARO\\PLACE.DBN"), "catalog");
}

// SPEC and PRINTER are recognised by their exact upper-case names; other directories of those
// names in another case only have their .MEM files converted.
TEST_F(Walk, SpecialDirectoriesAreMatchedExactly) {
    put("LOW\\PLACE.DBN", "catalog");
    put("LOW\\spec\\PODATEK.PLT", mem_file(mem_number("PROG", 1)));
    put("LOW\\spec\\S.MEM", mem_file(mem_number("S", 1)));
    put("LOW\\Printer\\LP.DRU", mem_file(mem_number("LP", 1)));
    ASSERT_TRUE(M2X_E(Value("C:\\LOW")));
    EXPECT_EQ(get("LOW\\spec\\PODATEK.PLT"), mem_file(mem_number("PROG", 1)));
    EXPECT_EQ(get("LOW\\Printer\\LP.DRU"), mem_file(mem_number("LP", 1)));
    EXPECT_EQ(saved("LOW\\spec\\S.XPF"), "S N 1\n");
    EXPECT_FALSE(exists("LOW\\spec\\S.MEM"));
}

TEST_F(Walk, SecondRunLeavesEverythingAsTheFirstLeftIt) {
    make_system();
    ASSERT_TRUE(M2X_E(Value("C:\\QARO\\")));
    auto first = tree();
    ASSERT_TRUE(first.count("QARO/SPEC/PODATEK.PLT"));
    ASSERT_TRUE(first.count("QARO/PRINTER/EPSON.DRU"));
    ASSERT_TRUE(M2X_E(Value("C:\\QARO\\")));
    EXPECT_EQ(tree(), first);
}

TEST_F(Walk, RefusesAPathThatIsNoMainDirectory) {
    make_system();
    auto before = tree();
    struct Case {
        Value path;
        const char* message;
    } cases[] = {
        {Value(), "Brak "},
        {Value(""), "Brak "},
        {Value("   "), "Brak "},
        {Value(3), "Brak "},
        {Value("C:\\QARO\\DATA"), "Niepoprawna "},
        {Value("C:\\NOWHERE\\"), "Niepoprawna "},
    };
    for (auto& c : cases) {
        waits_.clear();
        EXPECT_FALSE(M2X_E(c.path)) << value_text(c.path);
        EXPECT_EQ(waits_.size(), 1u) << value_text(c.path);
        EXPECT_TRUE(shown(c.message)) << value_text(c.path);
        EXPECT_TRUE(shown("katalogu programu qaroVORANTA")) << value_text(c.path);
    }
    EXPECT_EQ(tree(), before);
}

TEST_F(Walk, LegacyFileThatCannotBeDeletedLeavesTheSequence) {
    put("RO\\PLACE.DBN", "catalog");
    for (const char* n : {"A", "B", "C", "D", "E", "F"}) put(std::string("RO\\") + n + ".MEM", mem_file(mem_number(n, 1)));
    ASSERT_TRUE(fs().set_attributes("C:\\RO\\C.MEM", attr::kReadOnly));
    std::vector<std::string> order;
    for (auto& e : fs().list("C:\\RO\\*.MEM")) order.push_back(e.name.substr(0, 1));

    EXPECT_THROW(M2X_E(Value("C:\\RO")), LeaveSequence);
    EXPECT_TRUE(shown("Blad w kasowaniu zbioru:C:\\RO\\C.MEM"));

    // What came before the failure stays converted, nothing after it was looked at.
    bool before = true;
    for (auto& n : order) {
        SCOPED_TRACE(n);
        if (n == "C") {
            EXPECT_TRUE(exists("RO\\C.MEM"));
            EXPECT_EQ(saved("RO\\C.XPF"), "C N 1\n");
            before = false;
        } else if (before) {
            EXPECT_FALSE(exists("RO\\" + n + ".MEM"));
            EXPECT_EQ(saved("RO\\" + n + ".XPF"), n + " N 1\n");
        } else {
            EXPECT_TRUE(exists("RO\\" + n + ".MEM"));
            EXPECT_FALSE(exists("RO\\" + n + ".XPF"));
        }
    }
}

TEST(WalkNames, ExtensionAndTargetName) {
    EXPECT_TRUE(has_extension("konfig.mem", ".MEM"));
    EXPECT_TRUE(has_extension("A.B.MEM", ".MEM"));
    EXPECT_FALSE(has_extension("X.MEMO", ".MEM"));
    EXPECT_FALSE(has_extension("MEM", ".MEM"));
    EXPECT_FALSE(has_extension("X.DRU", ".MEM"));
    EXPECT_TRUE(has_extension("epson.Dru", ".DRU"));
    EXPECT_EQ(xpf_target_name("C:\\QARO\\", "konfig.mem"), "C:\\QARO\\KONFIG.XPF");
    EXPECT_EQ(xpf_target_name("C:\\QARO\\DATA\\", "a.b.mem"), "C:\\QARO\\DATA\\A.B.XPF");
}

}  // namespace
}  // namespace qaro
