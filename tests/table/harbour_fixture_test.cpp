// Tables and indexes written by an independent xBase implementation read exactly as its own
// listing (*.expected.txt) shows them.
#include <fstream>
#include <sstream>

#include "platform/table/table_functions.h"
#include "table_test_support.h"

namespace qaro::test {
namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(QARO_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ExpectedField {
    std::string name;
    std::string line;   // everything after "= "
};
struct ExpectedRecord {
    std::uint32_t recno = 0;
    bool deleted = false;
    std::vector<ExpectedField> fields;
};
struct Expected {
    std::vector<FieldDef> structure;
    std::uint32_t count = 0;
    std::vector<ExpectedRecord> records;
};

Expected parse_expected(const std::string& text) {
    Expected e;
    std::istringstream in(text);
    std::string line;
    bool in_structure = false;
    while (std::getline(in, line)) {
        if (line.rfind("record_count=", 0) == 0) e.count = static_cast<std::uint32_t>(std::stoul(line.substr(13)));
        if (line.rfind("structure:", 0) == 0) {
            in_structure = true;
            continue;
        }
        if (line.rfind("records:", 0) == 0) {
            in_structure = false;
            continue;
        }
        if (line.rfind("end of records", 0) == 0) break;
        if (in_structure) {
            std::istringstream f(line);
            int pos;
            FieldDef d;
            std::string type;
            f >> pos >> d.name >> type >> d.width >> d.decimals;
            d.type = type[0];
            e.structure.push_back(d);
        } else if (line.size() > 1 && line[0] == '#' && std::isdigit(static_cast<unsigned char>(line[1]))) {
            ExpectedRecord r;
            r.recno = static_cast<std::uint32_t>(std::stoul(line.substr(1)));
            r.deleted = line.find("deleted=Y") != std::string::npos;
            e.records.push_back(r);
        } else if (line.rfind("  ", 0) == 0 && !e.records.empty()) {
            auto eq = line.find(" = ");
            e.records.back().fields.push_back({alltrim(line.substr(0, eq)), line.substr(eq + 3)});
        }
    }
    return e;
}

std::string bracketed(const std::string& line) {
    auto a = line.find('[');
    auto b = line.rfind(']');
    return line.substr(a + 1, b - a - 1);
}

// Checks every field of every record of an open table against the listing.
void check_table(WorkArea& w, const Expected& e) {
    ASSERT_EQ(w.structure(), e.structure);
    ASSERT_EQ(w.record_count(), e.count);
    for (const auto& r : e.records) {
        SCOPED_TRACE("record " + std::to_string(r.recno));
        ASSERT_TRUE(w.go_to(r.recno));
        EXPECT_EQ(w.deleted(), r.deleted);
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            const FieldDef& f = e.structure[i];
            const std::string& line = r.fields[i].line;
            SCOPED_TRACE(f.name + " = " + line.substr(0, 80));
            Value v = w.get(f.name);
            switch (f.type) {
            case 'C': EXPECT_EQ(escape_bytes(v.text()), bracketed(line)); break;
            case 'N': EXPECT_EQ("[" + str_number(v.number(), f.width, f.decimals) + "]", line.substr(line.find('['))); break;
            case 'D': EXPECT_EQ(v.date().empty() ? "EMPTY" : v.date().dtos(), line.substr(2)); break;
            case 'L': EXPECT_EQ(v.logical() ? "L T" : "L F", line); break;
            case 'M': {
                std::size_t len = std::stoul(line.substr(line.find("len=") + 4));
                EXPECT_EQ(v.text().size(), len);
                // The listing shows the start of long memos.
                std::string shown = bracketed(line);
                EXPECT_EQ(escape_bytes(v.text()).substr(0, shown.size()), shown);
                break;
            }
            }
        }
    }
}

class HarbourFixture : public TableTest {
protected:
    // Copies fixture files into C:\ (the originals are read-only).
    void copy(std::initializer_list<const char*> names) {
        for (auto n : names) write(n, fixture(n));
    }
};

TEST_F(HarbourFixture, TablesReadAsListed) {
    copy({"t_types.dbf", "t_types.dbt", "t_wide.dbf", "t_empty.dbf", "t_empty.dbt", "t_index.dbf"});
    for (auto name : {"t_types", "t_wide", "t_empty", "t_index"}) {
        SCOPED_TRACE(name);
        Expected e = parse_expected(fixture(std::string(name) + ".expected.txt"));
        ASSERT_FALSE(e.structure.empty());
        ASSERT_TRUE(work_areas().open(std::string("C:\\") + name + ".dbf", name, true, true)) << work_areas().error();
        WorkArea& w = work_areas().current();
        EXPECT_EQ(w.table()->last_update(), Date::from_ymd(2026, 12, 11));
        EXPECT_EQ(w.table()->warning(), "");
        check_table(w, e);
        w.close();
    }
}

TEST_F(HarbourFixture, ReadRekordGivesTheListedPairs) {
    copy({"t_types.dbf", "t_types.dbt"});
    ASSERT_TRUE(work_areas().open("C:\\t_types.dbf", "T", true, true));
    work_areas().current().go_to(6);
    Value pairs = READ_REKORD();
    ASSERT_EQ(pairs.array().size(), 6u);
    EXPECT_EQ(pairs.array()[0].array()[0].text(), "NAME");
    EXPECT_EQ(pairs.array()[0].array()[1].text(), "CAF\x82      ");
    EXPECT_EQ(pairs.array()[1].array()[1].number(), 9999999.99);
    EXPECT_EQ(pairs.array()[3].array()[1].date(), Date::from_ymd(1900, 1, 1));
    EXPECT_EQ(pairs.array()[5].array()[1].text().size(), 512u);
}

// Index order and seeks of the character index, as listed.
TEST_F(HarbourFixture, CharacterIndexOrderAndSeeks) {
    copy({"t_index.dbf", "t_index.ntx"});
    ASSERT_TRUE(work_areas().open("C:\\t_index.dbf", "T", false));
    WorkArea& w = work_areas().current();
    ASSERT_TRUE(w.set_index("C:\\t_index.ntx")) << w.error();
    EXPECT_EQ(w.index()->expression(), "KEY");
    EXPECT_EQ(w.key_count(), 16u);
    const std::uint32_t order[] = {7, 8, 14, 15, 16, 4, 11, 2, 13, 1, 3, 5, 9, 10, 6, 12};
    std::vector<std::uint32_t> seen;
    for (w.go_top(); !w.eof(); w.skip()) seen.push_back(w.recno());
    EXPECT_EQ(seen, std::vector<std::uint32_t>(std::begin(order), std::end(order)));

    struct Seek {
        std::string key;
        bool found;
        std::uint32_t rec;
        bool eof;
        bool soft_found;
        std::uint32_t soft_rec;
        bool soft_eof;
    };
    const Seek seeks[] = {
        {"SMITH", true, 1, false, true, 1, false},   {"SMI", true, 1, false, true, 1, false},
        {"SMITH   ", true, 1, false, true, 1, false}, {"smith", true, 6, false, true, 6, false},
        {" SMITH", true, 8, false, true, 8, false},  {"ADAMS", true, 4, false, true, 4, false},
        {"ZZZ", false, 17, true, false, 6, false},   {"B", false, 17, true, false, 2, false},
        {"", true, 7, false, true, 7, false},        {"\x8E", true, 12, false, true, 12, false},
    };
    for (const auto& s : seeks) {
        SCOPED_TRACE("seek [" + escape_bytes(s.key) + "]");
        ASSERT_TRUE(w.seek(Value(s.key)));
        EXPECT_EQ(w.found(), s.found);
        EXPECT_EQ(w.recno(), s.rec);
        EXPECT_EQ(w.eof(), s.eof);
        ASSERT_TRUE(w.seek(Value(s.key), true));
        EXPECT_EQ(w.found(), s.soft_found);
        EXPECT_EQ(w.recno(), s.soft_rec);
        EXPECT_EQ(w.eof(), s.soft_eof);
    }
}

TEST_F(HarbourFixture, NumericIndexSeeks) {
    copy({"t_index.dbf", "t_index_seq.ntx"});
    ASSERT_TRUE(work_areas().open("C:\\t_index.dbf", "T", false));
    WorkArea& w = work_areas().current();
    ASSERT_TRUE(w.set_index("C:\\t_index_seq.ntx")) << w.error();
    EXPECT_EQ(w.index()->key_at(0), "0001");
    struct Seek {
        double key;
        bool found;
        std::uint32_t rec;
        bool eof;
        std::uint32_t soft_rec;
    };
    for (const Seek& s : {Seek{1, true, 1, false, 1}, Seek{10, true, 10, false, 10}, Seek{16, true, 16, false, 16},
                          Seek{17, false, 17, true, 17}, Seek{0, false, 17, true, 1}}) {
        SCOPED_TRACE(s.key);
        w.seek(Value(s.key));
        EXPECT_EQ(w.found(), s.found);
        EXPECT_EQ(w.recno(), s.rec);
        EXPECT_EQ(w.eof(), s.eof);
        w.seek(Value(s.key), true);
        EXPECT_EQ(w.recno(), s.soft_rec);
    }
}

// With deleted records hidden, the deleted ZED (record 10) is neither found nor counted.
TEST_F(HarbourFixture, HiddenDeletedRecordIsNotSought) {
    copy({"t_index.dbf", "t_index.ntx"});
    work_areas().set_hide_deleted(true);
    ASSERT_TRUE(work_areas().open("C:\\t_index.dbf", "T", false));
    WorkArea& w = work_areas().current();
    ASSERT_TRUE(w.set_index("C:\\t_index.ntx"));
    w.seek(Value("ZED"));
    EXPECT_FALSE(w.found());
    EXPECT_TRUE(w.eof());
    EXPECT_EQ(w.key_count(), 15u);
    EXPECT_EQ(CMXKEYCOUNT(), 15u);
}

// Our own index of the same table holds the same keys in the same order as theirs.
TEST_F(HarbourFixture, OurIndexMatchesTheirs) {
    copy({"t_index.dbf", "t_index.ntx"});
    ASSERT_TRUE(work_areas().open("C:\\t_index.dbf", "T", false));
    WorkArea& w = work_areas().current();
    ASSERT_TRUE(w.set_index("C:\\t_index.ntx"));
    std::vector<std::pair<std::string, std::uint32_t>> theirs, ours;
    for (std::size_t i = 0; i < w.index()->size(); ++i)
        theirs.emplace_back(std::string(w.index()->key_at(i)), w.index()->recno_at(i));
    ASSERT_TRUE(w.create_index("C:\\ours.ntx", "KEY"));
    ASSERT_TRUE(w.close_index());
    ASSERT_TRUE(w.set_index("C:\\ours.ntx"));
    for (std::size_t i = 0; i < w.index()->size(); ++i)
        ours.emplace_back(std::string(w.index()->key_at(i)), w.index()->recno_at(i));
    EXPECT_EQ(ours, theirs);
    // Same page geometry as theirs: header fields up to the expression.
    EXPECT_EQ(read("ours.ntx").substr(12, 10), fixture("t_index.ntx").substr(12, 10));
}

}  // namespace
}  // namespace qaro::test
