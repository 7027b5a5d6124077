// Tables we write read correctly in Debian's python3-dbf (which knows the wide character fields)
// and python3-dbfread; tables python3-dbf writes read correctly here.
#include <cstdio>

#include "platform/table/dbf_table.h"
#include "table_test_support.h"

namespace qaro::test {
namespace {

std::string run(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (rc != 0) out += "\nEXIT " + std::to_string(rc);
    return out;
}

class InteropTest : public TableTest {
protected:
    std::string python(const std::string& script, const std::string& arg) {
        write("check.py", script);
        return run("/usr/bin/python3 " + host("check.py") + " " + arg + " 2>&1");
    }
    // Writes the table every interop test reads: each type, a memo, a deleted record.
    void write_sample(bool wide) {
        Structure s = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 9, 2}, {"QTY", 'N', 4, 0},
                       {"BORN", 'D', 8, 0},  {"OK", 'L', 1, 0},     {"NOTES", 'M', 10, 0}};
        if (wide) s.push_back({"WIDE", 'C', 800, 0});
        std::string err;
        ASSERT_TRUE(DbfTable::create("C:\\OURS.DBF", s, err)) << err;
        ASSERT_TRUE(work_areas().open("C:\\OURS.DBF", "O", false));
        WorkArea& w = work_areas().current();
        w.append_blank();
        w.put("NAME", Value("Zo\xA7" "ka"));   // a byte above 127
        w.put("AMOUNT", Value(-1234.5));
        w.put("QTY", Value(42));
        w.put("BORN", Value(Date::from_ymd(1987, 6, 5)));
        w.put("OK", Value(true));
        w.put("NOTES", Value(std::string(700, 'n') + "\r\nend"));
        if (wide) w.put("WIDE", Value(std::string(799, 'w') + "!"));
        w.append_blank();
        w.put("NAME", Value("deleted"));
        w.delete_record();
        w.append_blank();   // blank record
        ASSERT_TRUE(w.close());
    }
};

TEST_F(InteropTest, Python3DbfReadsOurTables) {
    write_sample(true);
    std::string out = python(R"(
import dbf, sys
t = dbf.Table(sys.argv[1], dbf_type='clp', codepage='cp437')
t.open(dbf.READ_ONLY)
print(t.structure())
for r in t:
    print(dbf.is_deleted(r), repr(r.name), r.amount, r.qty, r.born, r.ok, len(r.notes), repr(r.notes[-5:]), len(r.wide), r.wide[-1:])
)", host("OURS.DBF"));
    EXPECT_EQ(out,
              "['name C(10)', 'amount N(9,2)', 'qty N(4,0)', 'born D', 'ok L', 'notes M', 'wide C(800)']\n"
              "False 'Zoºka     ' -1234.5 42 1987-06-05 True 705 '\\r\\nend' 800 !\n"
              "True 'deleted   ' None None None None 0 '' 800  \n"
              "False '          ' None None None None 0 '' 800  \n");
}

TEST_F(InteropTest, DbfreadReadsOurDbase3Tables) {
    write_sample(false);
    std::string out = python(R"(
import dbfread, sys
t = dbfread.DBF(sys.argv[1], encoding='cp437', load=True)
print([(f.name, f.type, f.length, f.decimal_count) for f in t.fields])
for r in t.records: print(dict(r))
for r in t.deleted: print('deleted', r['NAME'])
)", host("OURS.DBF"));
    EXPECT_EQ(out,
              "[('NAME', 'C', 10, 0), ('AMOUNT', 'N', 9, 2), ('QTY', 'N', 4, 0), ('BORN', 'D', 8, 0), ('OK', 'L', 1, 0), "
              "('NOTES', 'M', 10, 0)]\n"
              "{'NAME': 'Zoºka', 'AMOUNT': -1234.5, 'QTY': 42, 'BORN': datetime.date(1987, 6, 5), 'OK': True, 'NOTES': '" +
                  std::string(700, 'n') +
                  "\\r\\nend'}\n"
                  "{'NAME': '', 'AMOUNT': None, 'QTY': None, 'BORN': None, 'OK': None, 'NOTES': None}\n"
                  "deleted deleted\n");
}

TEST_F(InteropTest, WeReadTablesOfPython3Dbf) {
    std::string out = python(R"(
import dbf, sys, datetime
t = dbf.Table(sys.argv[1], 'name C(12); price N(8,2); day D; flag L; memo M; big C(300)', dbf_type='clp', codepage='cp437')
t.open(dbf.READ_WRITE)
t.append(('alpha', 12.25, datetime.date(2001, 2, 3), True, 'first memo', 'x' * 299 + 'y'))
t.append(('beta', -0.5, None, False, '', ''))
dbf.delete(t[1])
t.close()
print('ok')
)", host("THEIRS.DBF"));
    ASSERT_EQ(out, "ok\n");
    ASSERT_TRUE(work_areas().open("C:\\THEIRS.DBF", "T", false)) << work_areas().error();
    WorkArea& w = work_areas().current();
    EXPECT_EQ(w.structure(), (Structure{{"NAME", 'C', 12, 0}, {"PRICE", 'N', 8, 2}, {"DAY", 'D', 8, 0},
                                        {"FLAG", 'L', 1, 0}, {"MEMO", 'M', 10, 0}, {"BIG", 'C', 300, 0}}));
    ASSERT_EQ(w.record_count(), 2u);
    w.go_to(1);
    EXPECT_EQ(w.get("NAME").text(), "alpha       ");
    EXPECT_EQ(w.get("PRICE").number(), 12.25);
    EXPECT_EQ(w.get("DAY").date(), Date::from_ymd(2001, 2, 3));
    EXPECT_TRUE(w.get("FLAG").logical());
    EXPECT_EQ(w.get("MEMO").text(), "first memo");
    EXPECT_EQ(w.get("BIG").text(), std::string(299, 'x') + "y");
    EXPECT_FALSE(w.deleted());
    w.go_to(2);
    EXPECT_TRUE(w.deleted());
    EXPECT_EQ(w.get("PRICE").number(), -0.5);
    EXPECT_TRUE(w.get("DAY").date().empty());
    EXPECT_FALSE(w.get("FLAG").logical());
    EXPECT_EQ(w.get("MEMO").text(), "");
}

}  // namespace
}  // namespace qaro::test
