#include <gtest/gtest.h>

#include <cmath>

#include "platform/file_system.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"
#include "platform/xpf_format.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

VariableSet sample_set() {
    VariableSet s;
    s.set("p_graf", Value(true), Scope::Public);
    s.set("p_query", Value(2), Scope::Public);
    s.set("pikheader", Value(std::string("\x00\x1A\xFF head ", 9)), Scope::Public);
    s.set("_dokad", Value("C:\\QARO\\"));
    s.set("__OPIS__", Value(Array{Value("PBK"), Value(true), Value(), Value(Date()), Value("U")}));
    s.set("zsx_1", Value(-0.1));
    s.set("ZSX_2", Value(Date::from_ymd(2024, 2, 29)));
    s.set("nic", Value());
    s.set("pusty", Value(std::string()));
    s.set("nested", Value(Array{Value(Array{Value(1), Value(Array{})}), Value(1e300)}));
    return s;
}

TEST(VariableSetTest, NamesIgnoreCaseAndMasksSelect) {
    VariableSet s = sample_set();
    EXPECT_EQ(s.get("P_QUERY").number(), 2);
    s.set("P_Query", Value(3));
    EXPECT_EQ(s.find("p_query")->name, "p_query");   // keeps its first spelling and scope
    EXPECT_EQ(s.find("p_query")->scope, Scope::Public);

    struct Case {
        const char* mask;
        std::size_t count;
    };
    const Case cases[] = {{"*", 10}, {"pik*", 1}, {"ZSX_*", 2}, {"zsx_?", 2}, {"p_*", 2}, {"p*", 4}, {"__*", 1}, {"none*", 0}};
    for (auto& c : cases) EXPECT_EQ(s.matching(c.mask).size(), c.count) << c.mask;

    s.set_nil("zsx_*");
    EXPECT_TRUE(s.has("ZSX_1"));
    EXPECT_TRUE(s.get("ZSX_1").is_nil());
    s.release("ZSX_*");
    EXPECT_FALSE(s.has("zsx_2"));
    s.clear();
    EXPECT_EQ(s.size(), 0u);
}

TEST(VariableFileTest, RoundTripsEveryKind) {
    test::Sandbox box("C");
    VariableSet s = sample_set();
    ASSERT_TRUE(save_variables("C:\\INSTAL.XPF", "*", "", s));
    VariableSet back;
    back.set("_dokad", Value("old"));
    back.set("kept", Value(7));
    std::string err;
    ASSERT_TRUE(restore_variables("c:\\instal.xpf", &err, back)) << err;
    EXPECT_EQ(back.size(), 11u);   // restore adds to and overwrites
    EXPECT_EQ(back.get("kept").number(), 7);
    for (auto* v : s.all()) {
        SCOPED_TRACE(v->name);
        ASSERT_TRUE(back.has(v->name));
        EXPECT_TRUE(back.get(v->name) == v->value);
    }
    EXPECT_EQ(back.find("pikheader")->scope, Scope::Public);
    EXPECT_TRUE(is_current_variable_file("C:\\INSTAL.XPF"));
}

TEST(VariableFileTest, SavesByMaskWithException) {
    test::Sandbox box("C");
    VariableSet s = sample_set();
    ASSERT_TRUE(save_variables("C:\\P.XPF", "p*", "pusty", s));
    VariableSet back;
    ASSERT_TRUE(restore_variables("C:\\P.XPF", nullptr, back));
    EXPECT_EQ(back.size(), 3u);   // p_graf, p_query, pikheader
    EXPECT_FALSE(back.has("pusty"));
}

TEST(VariableFileTest, DamagedFilesChangeNothing) {
    test::Sandbox box("C");
    VariableSet s = sample_set();
    ASSERT_TRUE(save_variables("C:\\G.XPF", "*", "", s));
    const std::string good = box.read_host('C', "G.XPF");

    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string flipped = good;
    flipped[100] ^= 0x40;
    std::string guard = good;
    guard[51] = 'C';
    std::vector<Case> cases = {
        {"empty", ""},
        {"truncated by a block", good.substr(0, good.size() - 40)},
        {"truncated mid-block", good.substr(0, good.size() - 7)},
        {"a flipped byte", flipped},
        {"a damaged guard byte", guard},
        {"a legacy file", std::string("X\0\0\0\0\0\0\0\0\0\0\xCC\0\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x1A", 34)},
        {"an extra block", good + std::string(40, '\0')},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        box.write_host('C', "BAD.XPF", c.bytes);
        VariableSet target;
        target.set("x", Value(1));
        std::string err;
        EXPECT_FALSE(restore_variables("C:\\BAD.XPF", &err, target));
        EXPECT_NE(err.find("BAD.XPF"), std::string::npos) << err;
        EXPECT_EQ(target.size(), 1u);
    }
    std::string err;
    EXPECT_FALSE(restore_variables("C:\\MISSING.XPF", &err, s));
}

// A legacy reader steps through a file looking for a type letter + 128 in byte 11 of each
// record and skips 40 bytes where there is none: it must find nothing in a current file.
TEST(VariableFileTest, LegacyReadingFindsNoVariable) {
    VariableSet s;
    // Texts full of legacy type bytes, at every alignment.
    for (int i = 0; i < 45; ++i)
        s.set("v" + std::to_string(i), Value(std::string(static_cast<std::size_t>(i), static_cast<char>(0xC3 + i % 12))));
    s.set("n", Value(std::string(200, '\xCE')));
    std::string bytes = encode_xpf([&] {
        std::vector<Variable> v;
        for (auto* p : s.all()) v.push_back(*p);
        return v;
    }());
    for (std::size_t pos = 0; pos + 1 < bytes.size();) {
        ASSERT_LT(pos + 11, bytes.size());
        char type = static_cast<char>(static_cast<unsigned char>(bytes[pos + 11]) & 0x7F);
        ASSERT_EQ(std::string("CNDL").find(type), std::string::npos) << "record at " << pos;
        pos += 40;
    }
}

}  // namespace
}  // namespace qaro
