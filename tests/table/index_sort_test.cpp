// Indexes kept right while records change, multi-page index files, sorting to a new file.
#include "platform/table/dbf_table.h"
#include "platform/table/table_functions.h"
#include "table_test_support.h"

namespace qaro::test {
namespace {

class IndexSortTest : public TableTest {
protected:
    WorkArea& table_with(const std::vector<std::pair<std::string, double>>& rows) {
        std::string err;
        EXPECT_TRUE(DbfTable::create("C:\\T.DBF", {{"KOD", 'C', 6, 0}, {"N", 'N', 6, 1}, {"M", 'M', 10, 0}}, err)) << err;
        EXPECT_TRUE(work_areas().open("C:\\T.DBF", "T", false));
        WorkArea& w = work_areas().current();
        for (const auto& [k, n] : rows) {
            w.append_blank();
            w.put("KOD", Value(k));
            w.put("N", Value(n));
            w.put("M", Value("memo of " + k));
        }
        return w;
    }
    std::vector<std::string> in_order(WorkArea& w, const char* field = "KOD") {
        std::vector<std::string> r;
        for (w.go_top(); !w.eof(); w.skip()) r.push_back(rtrim(w.get(field).text()));
        return r;
    }
};

TEST_F(IndexSortTest, KeysFollowAppendsAndReplacements) {
    WorkArea& w = table_with({{"DD", 1}, {"BB", 2}, {"CC", 3}});
    ASSERT_TRUE(w.create_index("C:\\T.NTX", "KOD", [](WorkArea& a) { return a.get("KOD"); }));
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"BB", "CC", "DD"}));
    // Appending a record and filling its key field.
    ASSERT_TRUE(w.append_blank());
    w.put("KOD", Value("AA"));
    EXPECT_TRUE(w.seek(Value("AA")) && w.found());
    EXPECT_EQ(w.recno(), 4u);
    // Replacing the key of a record found by seek.
    w.seek(Value("DD"));
    w.put("KOD", Value("AB"));
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"AA", "AB", "BB", "CC"}));
    w.seek(Value("DD"));
    EXPECT_FALSE(w.found());
    EXPECT_EQ(w.key_count(), 4u);
    // A keyed merge: a key repeated in the input is added once.
    for (const char* k : {"ZZ", "BB", "ZZ"}) {
        w.seek(Value(k));
        if (!w.found()) {
            APPE_BLAN();
            w.put("KOD", Value(k));
        }
    }
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"AA", "AB", "BB", "CC", "ZZ"}));
    // The file written on close holds the same keys.
    ASSERT_TRUE(w.close_index());
    ASSERT_TRUE(w.set_index("C:\\T.NTX"));
    EXPECT_EQ(w.index()->expression(), "KOD");
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"AA", "AB", "BB", "CC", "ZZ"}));
}

TEST_F(IndexSortTest, NumericAndCompoundKeys) {
    WorkArea& w = table_with({{"A", 5}, {"B", -2.5}, {"C", 0}, {"D", -10}, {"E", 12.3}, {"F", -0.5}});
    ASSERT_TRUE(w.create_index("C:\\N.NTX", "N"));
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"D", "B", "F", "C", "A", "E"}));
    w.seek(Value(-2.5));
    EXPECT_TRUE(w.found());
    EXPECT_EQ(rtrim(w.get("KOD").text()), "B");
    ASSERT_TRUE(w.create_index("C:\\K.NTX", "UPPER(KOD)+STR(N,6,1)"));
    w.seek(Value("C     "));
    EXPECT_TRUE(w.found());
    EXPECT_EQ(w.index()->key_size(), 12);
}

TEST_F(IndexSortTest, BadKeyExpressionsAreRefused) {
    WorkArea& w = table_with({{"A", 1}});
    for (const char* e : {"NOSUCH", "KOD+", "FOO(KOD)", "KOD)"}) {
        EXPECT_FALSE(w.create_index("C:\\X.NTX", e)) << e;
        EXPECT_FALSE(w.error().empty());
    }
    EXPECT_FALSE(w.seek(Value("A")));   // no index
}

// Enough keys for three levels of pages; the file reads back in the same order.
TEST_F(IndexSortTest, ManyKeysRoundTripThroughTheFile) {
    std::string err;
    ASSERT_TRUE(DbfTable::create("C:\\BIG.DBF", {{"K", 'C', 20, 0}}, err));
    ASSERT_TRUE(work_areas().open("C:\\BIG.DBF", "BIG", false));
    WorkArea& w = work_areas().current();
    const int n = 5000;
    for (int i = 0; i < n; ++i) {
        w.append_blank();
        char b[32];
        std::snprintf(b, sizeof b, "K%07d", (i * 7919) % n);
        w.put("K", Value(b));
    }
    ASSERT_TRUE(w.create_index("C:\\BIG.NTX", "K"));
    ASSERT_TRUE(w.close_index());
    ASSERT_TRUE(w.set_index("C:\\BIG.NTX"));
    ASSERT_EQ(w.index()->size(), static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < w.index()->size(); ++i) {
        char b[32];
        std::snprintf(b, sizeof b, "K%07zu", i);
        ASSERT_EQ(rtrim(w.index()->key_at(i)), b) << i;
    }
    w.seek(Value("K0004321"));
    EXPECT_TRUE(w.found());
    EXPECT_EQ(rtrim(w.get("K").text()), "K0004321");
}

// An index file that does not match its table is built again when opened.
TEST_F(IndexSortTest, StaleIndexIsRebuilt) {
    WorkArea& w = table_with({{"B", 1}, {"A", 2}});
    ASSERT_TRUE(w.create_index("C:\\T.NTX", "KOD"));
    ASSERT_TRUE(w.close_index());
    w.append_blank();   // not in the closed index
    w.put("KOD", Value("0"));
    ASSERT_TRUE(w.set_index("C:\\T.NTX"));
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"0", "A", "B"}));
}

TEST_F(IndexSortTest, SortIsStableAndCopiesMemos) {
    WorkArea& w = table_with({{"B", 2}, {"A", 9}, {"B", 1}, {"A", 3}, {"C", 0}});
    w.go_to(5);
    w.delete_record();
    work_areas().set_hide_deleted(true);
    ASSERT_TRUE(w.sort_to("C:\\S.DBF", {"KOD"})) << w.error();
    ASSERT_TRUE(work_areas().open("C:\\S.DBF", "S", false));
    WorkArea& s = work_areas().current();
    std::vector<std::string> got;
    for (s.go_top(); !s.eof(); s.skip())
        got.push_back(rtrim(s.get("KOD").text()) + str_number(s.get("N").number(), 4, 1) + "/" + s.get("M").text());
    EXPECT_EQ(got, (std::vector<std::string>{"A 9.0/memo of A", "A 3.0/memo of A", "B 2.0/memo of B",
                                             "B 1.0/memo of B"}));
    s.close();
    work_areas().select("T");
    ASSERT_TRUE(w.sort_to("C:\\S2", {"KOD", "N"}));
    ASSERT_TRUE(work_areas().open("C:\\S2.DBF", "S2", false));
    std::vector<double> n;
    WorkArea& s2 = work_areas().current();
    for (s2.go_top(); !s2.eof(); s2.skip()) n.push_back(s2.get("N").number());
    EXPECT_EQ(n, (std::vector<double>{3, 9, 1, 2}));
}

TEST_F(IndexSortTest, SortInPlaceReplacesTheTable) {
    WorkArea& w = table_with({{"C", 1}, {"A", 2}, {"B", 3}});
    ASSERT_TRUE(w.sort_to("C:\\t.dbf", {"KOD"})) << w.error();
    EXPECT_EQ(in_order(w), (std::vector<std::string>{"A", "B", "C"}));
    w.go_to(1);
    EXPECT_EQ(w.get("M").text(), "memo of A");
    EXPECT_EQ(fs().list("C:\\*.TMP").size(), 0u);
}

}  // namespace
}  // namespace qaro::test
