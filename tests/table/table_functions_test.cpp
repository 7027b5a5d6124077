// Record copy by field name, the library's table functions and table open/close by alias.
#include "instal/services/db_open.h"
#include "platform/table/dbf_table.h"
#include "platform/table/table_functions.h"
#include "table_test_support.h"

namespace qaro::test {
namespace {

class TableFunctionsTest : public TableTest {
protected:
    void create(const std::string& path, const Structure& s) {
        std::string err;
        ASSERT_TRUE(DbfTable::create(path, s, err)) << err;
    }
};

// What WRITE_REKORD stores when the value's type or width does not suit the target field.
TEST_F(TableFunctionsTest, WriteRekordConversions) {
    create("C:\\T.DBF", {{"C5", 'C', 5, 0}, {"N52", 'N', 5, 2}, {"D", 'D', 8, 0}, {"L", 'L', 1, 0}, {"M", 'M', 10, 0}});
    ASSERT_TRUE(DB_OPEN(Value("C:\\T.DBF"), Value(false)));
    struct Case {
        const char* field;
        Value in;
        std::string stored;   // the field's bytes afterwards
    };
    const Case cases[] = {
        {"C5", Value("abcdefgh"), "abcde"},                 // longer text: cut
        {"C5", Value(std::string("a\0\x1A", 3)), std::string("a\0\x1A  ", 5)},
        {"C5", Value(12.5), "12.5 "},                       // number: its text
        {"C5", Value(1234567.0), "*****"},                  // wider than the field
        {"C5", Value(true), "T    "},
        {"C5", Value(Date::from_ymd(2024, 1, 2)), "20240"}, // YYYYMMDD, cut
        {"N52", Value(3.14159), " 3.14"},
        {"N52", Value(" 12.5xyz"), "12.50"},                // text: VAL()
        {"N52", Value("abc"), " 0.00"},
        {"N52", Value(1000.0), "*****"},                    // overflow: asterisks
        {"N52", Value(true), "     "},                      // no conversion: unchanged
        {"D", Value("20240229"), "20240229"},
        {"D", Value("garbage"), "        "},
        {"D", Value(5.0), "        "},
        {"L", Value(" yes"), "T"},
        {"L", Value("N"), "F"},
        {"M", Value(42.0), "         1"},                   // the memo holds "42"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + escape_bytes(c.in.is_text() ? c.in.text() : number_text(c.in.number())));
        ASSERT_TRUE(APPE_BLAN());
        WRITE_REKORD(Value(Array{Value(Array{Value(c.field), c.in})}));
        WorkArea& w = work_areas().current();
        int pos = w.field_pos(c.field);
        const Structure structure = w.structure();   // a copy: keep it alive while f is used
        const FieldDef& f = structure[static_cast<std::size_t>(pos - 1)];
        EXPECT_EQ(std::string(w.table()->record_bytes() + w.table()->field_offset(pos - 1), static_cast<std::size_t>(f.width)),
                  c.stored);
    }
    EXPECT_EQ(work_areas().current().get("M").text(), "42");
}

// The rebuild pattern: read pairs from the old table, append to the new one, write pairs;
// fields the target lacks are skipped, fields only the target has stay empty.
TEST_F(TableFunctionsTest, RecordCopyByFieldName) {
    create("C:\\OLD.DBF", {{"A", 'C', 4, 0}, {"GONE", 'N', 3, 0}, {"B", 'N', 5, 1}, {"NOTE", 'M', 10, 0}});
    create("C:\\NEW.DBF", {{"B", 'N', 7, 2}, {"FRESH", 'L', 1, 0}, {"A", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(DB_OPEN(Value("C:\\OLD.DBF"), Value(false), Value("GLOWNA")));
    WorkArea& old = work_areas().current();
    for (int i = 1; i <= 3; ++i) {
        APPE_BLAN();
        old.put("A", Value("r" + std::to_string(i)));
        old.put("GONE", Value(i));
        old.put("B", Value(i * 1.5));
        old.put("NOTE", Value("note " + std::to_string(i)));
    }
    old.go_to(2);
    old.delete_record();
    work_areas().set_hide_deleted(true);
    ASSERT_TRUE(DB_OPEN(Value("C:\\NEW.DBF"), Value(false), Value("TYMCZ")));
    WorkArea& neu = work_areas().current();
    for (old.go_top(); !old.eof(); old.skip()) {
        work_areas().select("GLOWNA");
        Value pairs = READ_REKORD();
        work_areas().select("TYMCZ");
        APPE_BLAN();
        EXPECT_EQ(WRITE_REKORD(pairs), 3);
    }
    EXPECT_EQ(neu.record_count(), 2u);
    neu.go_to(2);
    EXPECT_EQ(neu.get("A").text(), "r3        ");
    EXPECT_EQ(neu.get("B").number(), 4.5);
    EXPECT_FALSE(neu.get("FRESH").logical());
    EXPECT_EQ(neu.get("NOTE").text(), "note 3");
    // Malformed pairs are skipped.
    EXPECT_EQ(WRITE_REKORD(Value(Array{Value("A"), Value(Array{Value(1.0), Value(2.0)}), Value(Array{Value("A")})})), 0);
    EXPECT_EQ(WRITE_REKORD(Value("not pairs")), 0);
}

TEST_F(TableFunctionsTest, LibraryFunctions) {
    EXPECT_TRUE(CMXAUTOOPEN(false));
    EXPECT_FALSE(CMXAUTOOPEN(false));
    create("C:\\PLACE.DBN", {{"X", 'C', 1, 0}});
    fs().write_atomic("C:\\PLACE.CDX", "not opened");   // a compound index is never opened
    EXPECT_FALSE(TEST_ALIAS(Value("place")));
    ASSERT_TRUE(DB_OPEN(Value("C:\\PLACE.DBN"), Value(false), Value()));
    EXPECT_TRUE(TEST_ALIAS(Value("place")));
    EXPECT_TRUE(TEST_ALIAS(Value(" PLACE ")));
    EXPECT_FALSE(TEST_ALIAS(Value(1.0)));
    EXPECT_EQ(CMXKEYCOUNT(), 0u);
    EXPECT_TRUE(APPE_BLAN());
    EXPECT_TRUE(APPE_BLAN());
    EXPECT_EQ(CMXKEYCOUNT(), 2u);
    work_areas().current().delete_record();
    work_areas().set_hide_deleted(true);
    EXPECT_EQ(CMXKEYCOUNT(), 1u);
    EXPECT_EQ(READ_REKORD().array().size(), 1u);
    DB_CLOSE(Value("PLACE"));
    EXPECT_FALSE(APPE_BLAN());   // no table in the selected area
    EXPECT_EQ(CMXKEYCOUNT(), 0u);
    EXPECT_TRUE(READ_REKORD().array().empty());
}

TEST_F(TableFunctionsTest, DbOpenAndClose) {
    fs().make_dir("C:\\SYS");
    create("C:\\SYS\\place.dbn", {{"X", 'C', 1, 0}});
    create("C:\\SYS\\A.DBF", {{"X", 'C', 1, 0}});
    create("C:\\SYS\\B.DBF", {{"X", 'C', 1, 0}});
    WorkAreas& w = work_areas();

    EXPECT_FALSE(DB_OPEN(Value(""), Value(false), Value("X")));   // nothing opened
    EXPECT_FALSE(DB_OPEN(Value(), Value(false), Value("X")));
    EXPECT_FALSE(w.area(1)->used());

    // Exclusive without an alias: the alias is the file name without directory and extension.
    ASSERT_TRUE(DB_OPEN(Value("C:\\SYS\\place.dbn"), Value(false), Value("")));
    EXPECT_EQ(w.current().alias(), "PLACE");
    EXPECT_TRUE(w.current().table()->exclusive());
    EXPECT_EQ(w.selected(), 1);
    // Any non-logical second argument means shared; a table in another area opens beside it.
    ASSERT_TRUE(DB_OPEN(Value("C:\\SYS\\A.DBF"), Value("yes"), Value("AA")));
    EXPECT_FALSE(w.current().table()->exclusive());
    EXPECT_EQ(w.selected(), 2);
    // A table held exclusively does not open again; the alias of an open area is refused.
    EXPECT_FALSE(DB_OPEN(Value("C:\\SYS\\place.dbn"), Value(true), Value("P2")));
    EXPECT_FALSE(DB_OPEN(Value("C:\\SYS\\B.DBF"), Value(true), Value("aa")));
    EXPECT_FALSE(DB_OPEN(Value("C:\\SYS\\NONE.DBF"), Value(true), Value("N")));

    // Closing by alias returns to the area selected before.
    ASSERT_TRUE(DB_OPEN(Value("C:\\SYS\\B.DBF"), Value(false), Value("BB")));
    EXPECT_EQ(w.selected(), 3);
    DB_CLOSE(Value("AA"));
    EXPECT_FALSE(TEST_ALIAS(Value("AA")));
    EXPECT_EQ(w.selected(), 3);
    EXPECT_TRUE(w.current().used());
    // An alias that no area has closes the selected table.
    DB_CLOSE(Value("NOSUCH"));
    EXPECT_FALSE(TEST_ALIAS(Value("BB")));
    EXPECT_TRUE(TEST_ALIAS(Value("PLACE")));
    EXPECT_EQ(w.selected(), 3);
    // An empty alias closes the selected area, also when that is the one remembered.
    w.select("PLACE");
    DB_CLOSE(Value());
    EXPECT_FALSE(TEST_ALIAS(Value("PLACE")));
    EXPECT_EQ(w.selected(), 1);
    // The freed area is the one a new open takes.
    ASSERT_TRUE(DB_OPEN(Value("C:\\SYS\\A.DBF"), Value(false), Value()));
    EXPECT_EQ(w.selected(), 1);
    EXPECT_EQ(w.current().alias(), "A");
}

}  // namespace
}  // namespace qaro::test
