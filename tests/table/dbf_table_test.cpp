// Tables we write: layout on disk, every field type, wide character fields, bytes kept, numbers
// that do not fit, deletion, pack, zap, locks and damaged files.
#include <cstring>

#include "platform/table/dbf_table.h"
#include "platform/table/table_functions.h"
#include "table_test_support.h"

namespace qaro::test {
namespace {

const Structure kAll = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"BORN", 'D', 8, 0},
                        {"OK", 'L', 1, 0},    {"NOTES", 'M', 10, 0}, {"WIDE", 'C', 800, 0}};

std::uint32_t u32(const std::string& s, std::size_t at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
           static_cast<unsigned char>(s[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

class DbfTableTest : public TableTest {
protected:
    WorkArea& open(const std::string& path, bool shared = false) {
        EXPECT_TRUE(work_areas().open(path, "T", shared)) << work_areas().error();
        return work_areas().current();
    }
    void create(const std::string& path, const Structure& s) {
        std::string err;
        ASSERT_TRUE(DbfTable::create(path, s, err)) << err;
    }
};

TEST_F(DbfTableTest, LayoutOnDisk) {
    create("C:\\ALL.DBF", kAll);
    WorkArea& w = open("C:\\ALL.DBF");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(w.append_blank());
        ASSERT_TRUE(w.put("NAME", Value("N" + std::to_string(i))));
    }
    ASSERT_TRUE(w.close());
    std::string f = read("ALL.DBF");
    const std::uint32_t hlen = 32 + 32 * 6 + 2, rlen = 1 + 10 + 8 + 8 + 1 + 10 + 800;
    EXPECT_EQ(static_cast<unsigned char>(f[0]), 0x83);                        // memo table
    EXPECT_EQ(f.substr(1, 3), std::string("\x7C\x03\x0F", 3));                 // 2024-03-15
    EXPECT_EQ(u32(f, 4), 3u);
    EXPECT_EQ(static_cast<unsigned char>(f[8]) | static_cast<unsigned char>(f[9]) << 8, hlen);
    EXPECT_EQ(static_cast<unsigned char>(f[10]) | static_cast<unsigned char>(f[11]) << 8, rlen);
    EXPECT_EQ(f.substr(32 + 5 * 32 + 16, 2), std::string("\x20\x03", 2));      // 800 = 0x0320
    EXPECT_EQ(f[hlen - 2], '\x0D');
    ASSERT_EQ(f.size(), hlen + 3 * rlen + 1);
    EXPECT_EQ(f.back(), '\x1A');
    EXPECT_EQ(f.substr(hlen, 11), " N0        ");
    std::string m = read("ALL.DBT");
    EXPECT_EQ(m.size(), 512u);
    EXPECT_EQ(u32(m, 0), 1u);
}

TEST_F(DbfTableTest, EveryTypeRoundTrips) {
    create("C:\\ALL.DBF", kAll);
    std::string bytes("A\0B\x1A\xFF\x80 ", 7);
    std::string wide(800, 'w');
    wide[0] = '\0';
    wide[799] = '\xFE';
    std::string memo(1500, 'm');
    memo += "\r\n\x8D\n end";
    {
        WorkArea& w = open("C:\\ALL.DBF");
        ASSERT_TRUE(w.append_blank());
        EXPECT_TRUE(w.put("name", Value(bytes)));
        EXPECT_TRUE(w.put("AMOUNT", Value(-12.345)));
        EXPECT_TRUE(w.put("BORN", Value(Date::from_ymd(1999, 12, 31))));
        EXPECT_TRUE(w.put("OK", Value(true)));
        EXPECT_TRUE(w.put("NOTES", Value(memo)));
        EXPECT_TRUE(w.put("WIDE", Value(wide)));
        ASSERT_TRUE(w.append_blank());   // a blank record reads as empty values
        ASSERT_TRUE(w.close());
    }
    WorkArea& w = open("C:\\ALL.DBF");
    ASSERT_TRUE(w.go_to(1));
    EXPECT_EQ(w.get("NAME").text(), bytes + "   ");
    EXPECT_EQ(w.get("AMOUNT").number(), -12.35);   // rounded to the field's decimals
    EXPECT_EQ(w.get("BORN").date(), Date::from_ymd(1999, 12, 31));
    EXPECT_TRUE(w.get("OK").logical());
    EXPECT_EQ(w.get("NOTES").text(), memo);
    EXPECT_EQ(w.get("WIDE").text(), wide);
    EXPECT_EQ(w.get(6).text(), wide);   // by position
    ASSERT_TRUE(w.go_to(2));
    EXPECT_EQ(w.get("NAME").text(), std::string(10, ' '));
    EXPECT_EQ(w.get("AMOUNT").number(), 0);
    EXPECT_TRUE(w.get("BORN").date().empty());
    EXPECT_FALSE(w.get("OK").logical());
    EXPECT_EQ(w.get("NOTES").text(), "");
    EXPECT_TRUE(w.get("NOSUCH").is_nil());
    EXPECT_EQ(w.structure(), kAll);
}

// A number that does not fit is stored as asterisks within its own field; the neighbours stay.
TEST_F(DbfTableTest, NumberOverflowStaysInItsField) {
    create("C:\\N.DBF", {{"A", 'C', 2, 0}, {"N", 'N', 5, 2}, {"B", 'C', 2, 0}});
    WorkArea& w = open("C:\\N.DBF");
    struct Case {
        double v;
        const char* stored;
    };
    for (const Case& c : {Case{12.5, "12.50"}, Case{-1.5, "-1.50"}, Case{123.4, "*****"}, Case{-99.999, "*****"},
                          Case{99.994, "99.99"}}) {
        SCOPED_TRACE(c.v);
        ASSERT_TRUE(w.append_blank());
        w.put("A", Value("aa"));
        w.put("B", Value("bb"));
        ASSERT_TRUE(w.put("N", Value(c.v)));
        EXPECT_EQ(std::string(w.table()->record_bytes(), 10), std::string(" aa") + c.stored + "bb");
    }
}

TEST_F(DbfTableTest, MemoRewriteReusesOrMovesBlocks) {
    create("C:\\M.DBF", {{"T", 'M', 10, 0}});
    WorkArea& w = open("C:\\M.DBF");
    ASSERT_TRUE(w.append_blank());
    w.put("T", Value(std::string(100, 'x')));
    EXPECT_EQ(w.table()->memo_block(0), 1u);
    w.put("T", Value(std::string(300, 'y')));   // fits the old block
    EXPECT_EQ(w.table()->memo_block(0), 1u);
    w.put("T", Value(std::string(700, 'z')));   // needs two blocks: goes to the end
    EXPECT_EQ(w.table()->memo_block(0), 2u);
    ASSERT_TRUE(w.append_blank());
    w.put("T", Value("second"));
    EXPECT_EQ(w.table()->memo_block(0), 4u);
    w.go_to(1);
    EXPECT_EQ(w.get("T").text(), std::string(700, 'z'));
    w.put("T", Value(""));
    EXPECT_EQ(std::string(w.table()->record_bytes() + 1, 10), std::string(10, ' '));
}

TEST_F(DbfTableTest, DeletedRecordsHiddenPackAndZap) {
    create("C:\\D.DBF", {{"K", 'N', 3, 0}, {"T", 'M', 10, 0}});
    {
        WorkArea& w = open("C:\\D.DBF");
        for (int i = 1; i <= 6; ++i) {
            w.append_blank();
            w.put("K", Value(i));
            w.put("T", Value("memo " + std::to_string(i)));
            if (i % 2 == 0) w.delete_record();
        }
        w.close();
    }
    WorkArea& w = open("C:\\D.DBF");
    auto keys = [&] {
        std::vector<int> r;
        for (w.go_top(); !w.eof(); w.skip()) r.push_back(static_cast<int>(w.get("K").number()));
        return r;
    };
    EXPECT_EQ(keys(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    work_areas().set_hide_deleted(true);
    EXPECT_EQ(keys(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(w.key_count(), 3u);
    w.go_bottom();
    EXPECT_EQ(w.recno(), 5u);
    w.skip(-1);
    EXPECT_EQ(w.recno(), 3u);
    w.go_to(2);   // GOTO reaches a deleted record
    EXPECT_TRUE(w.deleted());
    EXPECT_TRUE(w.locate([](WorkArea& a) { return a.get("K").number() > 3; }));
    EXPECT_TRUE(w.found());
    EXPECT_EQ(w.recno(), 5u);
    w.locate([](WorkArea& a) { return a.get("K").number() == 4; });
    EXPECT_FALSE(w.found());
    EXPECT_TRUE(w.eof());

    ASSERT_TRUE(w.pack()) << w.error();
    EXPECT_EQ(w.record_count(), 3u);
    work_areas().set_hide_deleted(false);
    EXPECT_EQ(keys(), (std::vector<int>{1, 3, 5}));
    w.go_to(3);
    EXPECT_EQ(w.get("T").text(), "memo 5");
    EXPECT_EQ(read("D.DBF").size(), 34 + 32 * 2 + 3 * 14 + 1u);
    // No temporary file is left beside the table.
    EXPECT_EQ(fs().list("C:\\*.TMP").size(), 0u);

    ASSERT_TRUE(w.zap());
    EXPECT_EQ(w.record_count(), 0u);
    EXPECT_TRUE(w.eof());
    EXPECT_TRUE(w.bof());
    EXPECT_EQ(read("D.DBT").size(), 512u);
    w.append_blank();
    w.put("T", Value("after zap"));
    EXPECT_EQ(w.get("T").text(), "after zap");
}

TEST_F(DbfTableTest, ReadOnlyAndSharedOpensCannotPack) {
    create("C:\\R.DBF", {{"K", 'C', 1, 0}});
    WorkArea& w = open("C:\\R.DBF", true);
    w.append_blank();
    EXPECT_FALSE(w.pack());
    w.close();
    ASSERT_TRUE(work_areas().open("C:\\R.DBF", "R", true, true));
    EXPECT_FALSE(work_areas().current().append_blank());
    EXPECT_EQ(work_areas().current().record_count(), 1u);
}

TEST_F(DbfTableTest, ExclusiveOpenShutsOutOtherOpens) {
    create("C:\\L.DBF", {{"K", 'C', 1, 0}});
    ASSERT_TRUE(work_areas().open("C:\\L.DBF", "A", false));
    EXPECT_FALSE(work_areas().open("C:\\L.DBF", "B", true));
    EXPECT_NE(work_areas().error().find("in use"), std::string::npos);
    work_areas().find("A")->close();
    ASSERT_TRUE(work_areas().open("C:\\L.DBF", "A", true));
    EXPECT_TRUE(work_areas().open("C:\\L.DBF", "B", true));   // shared beside shared
    EXPECT_FALSE(work_areas().open("C:\\L.DBF", "C", false));
}

// Another program holding the table locked makes our open fail.
TEST_F(DbfTableTest, LockHeldByAnotherProcess) {
    create("C:\\P.DBF", {{"K", 'C', 1, 0}});
    std::string script = "import fcntl,sys,time\nf=open(sys.argv[1],'r+b')\nfcntl.lockf(f,fcntl.LOCK_EX)\n"
                         "open(sys.argv[2],'w').close()\ntime.sleep(5)\n";
    write("hold.py", script);
    std::string ready = host("ready");
    std::string cmd = "/usr/bin/python3 " + host("hold.py") + " " + host("P.DBF") + " " + ready + " & echo $! > " +
                      host("pid");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    for (int i = 0; i < 100 && !std::filesystem::exists(ready); ++i) usleep(50000);
    ASSERT_TRUE(std::filesystem::exists(ready));
    EXPECT_FALSE(work_areas().open("C:\\P.DBF", "P", false));
    EXPECT_FALSE(work_areas().open("C:\\P.DBF", "P", true));
    std::string kill = "kill " + read("pid");
    std::system(kill.c_str());
}

// Damaged tables: a clear error, or the records that are really there.
TEST_F(DbfTableTest, DamagedTables) {
    create("C:\\G.DBF", {{"K", 'C', 4, 0}, {"T", 'M', 10, 0}});
    {
        WorkArea& w = open("C:\\G.DBF");
        for (int i = 0; i < 3; ++i) {
            w.append_blank();
            w.put("K", Value("r" + std::to_string(i)));
            w.put("T", Value("memo"));
        }
        w.close();
    }
    const std::string good = read("G.DBF");
    const std::string dbt = read("G.DBT");
    const std::size_t hlen = 32 + 64 + 2, rlen = 15;
    auto with = [&](std::size_t at, const std::string& bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    struct Case {
        const char* what;
        std::string dbf;
        const char* error;      // "" when it opens
        std::uint32_t records;
    };
    const Case cases[] = {
        {"shorter than a header", good.substr(0, 20), "shorter than a table header", 0},
        {"not a table", with(0, "\x05"), "version byte 0x05", 0},
        {"header length past the end", with(8, std::string("\xFF\x7F", 2)), "header length", 0},
        {"record length below the fields", with(10, std::string("\x05\x00", 2)), "records have 5", 0},
        {"unknown field type", with(32 + 11, "X"), "unsupported type 'X'", 0},
        {"cut inside the last record", good.substr(0, hlen + 2 * rlen + 7), "", 2},
        {"count larger than the file", with(4, std::string("\x10\x00\x00\x00", 4)), "", 3},
        {"no end mark", good.substr(0, good.size() - 1), "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        work_areas().close_all();
        write("G.DBF", c.dbf);
        write("G.DBT", dbt);
        bool opened = work_areas().open("C:\\G.DBF", "G", false);
        if (*c.error) {
            EXPECT_FALSE(opened);
            EXPECT_NE(work_areas().error().find(c.error), std::string::npos) << work_areas().error();
            continue;
        }
        ASSERT_TRUE(opened) << work_areas().error();
        WorkArea& w = work_areas().current();
        EXPECT_EQ(w.record_count(), c.records);
        std::uint32_t seen = 0;
        for (w.go_top(); !w.eof(); w.skip()) ++seen;
        EXPECT_EQ(seen, c.records);
        // Appending writes right after the records that are there, and the header says so.
        ASSERT_TRUE(w.append_blank());
        w.put("K", Value("new"));
        ASSERT_TRUE(w.close());
        std::string after = read("G.DBF");
        EXPECT_EQ(u32(after, 4), c.records + 1);
        EXPECT_EQ(after.substr(hlen + c.records * rlen, 5), " new ");
        EXPECT_EQ(after[hlen + (c.records + 1) * rlen], '\x1A');
    }
}

TEST_F(DbfTableTest, MemoPointerPastTheEnd) {
    create("C:\\G.DBF", {{"T", 'M', 10, 0}});
    {
        WorkArea& w = open("C:\\G.DBF");
        w.append_blank();
        w.put("T", Value("fine"));
        w.close();
    }
    std::string f = read("G.DBF");
    f.replace(34 + 32 + 1, 10, "      9999");
    write("G.DBF", f);
    WorkArea& w = open("C:\\G.DBF");
    EXPECT_EQ(w.get("T").text(), "");
    EXPECT_NE(w.table()->error().find("past the end"), std::string::npos);
}

TEST_F(DbfTableTest, MissingMemoFileIsAnError) {
    create("C:\\G.DBF", {{"T", 'M', 10, 0}});
    fs().remove_file("C:\\G.DBT");
    EXPECT_FALSE(work_areas().open("C:\\G.DBF", "G", false));
    EXPECT_NE(work_areas().error().find("memo file"), std::string::npos);
}

TEST_F(DbfTableTest, CreateRefusesBadStructures) {
    std::string err;
    struct Case {
        Structure s;
        const char* error;
    };
    const Case cases[] = {
        {{}, "at least one field"},
        {{{"TOOLONGNAME1", 'C', 1, 0}}, "1 to 10"},
        {{{"A", 'C', 1, 0}, {"a", 'N', 3, 0}}, "used twice"},
        {{{"A", 'X', 1, 0}}, "unknown field type"},
        {{{"A", 'N', 4, 3}}, "decimals"},
        {{{"A", 'C', 0, 0}}, "1 to 65535"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(DbfTable::create("C:\\BAD.DBF", c.s, err));
        EXPECT_NE(err.find(c.error), std::string::npos) << err;
    }
    EXPECT_FALSE(fs().exists("C:\\BAD.DBF"));
}

// Creating over an existing table replaces it whole; the name without extension gets .DBF.
TEST_F(DbfTableTest, CreateReplacesAnExistingTable) {
    create("C:\\X.DBF", {{"OLD", 'C', 5, 0}});
    WorkArea& w = open("C:\\X.DBF");
    w.append_blank();
    w.close();
    create("C:\\X", {{"NEW", 'N', 4, 1}});
    WorkArea& v = open("C:\\X");
    EXPECT_EQ(v.structure(), (Structure{{"NEW", 'N', 4, 1}}));
    EXPECT_EQ(v.record_count(), 0u);
}

}  // namespace
}  // namespace qaro::test
