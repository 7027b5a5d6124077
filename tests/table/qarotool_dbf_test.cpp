// qarotool dbf on a table of an independent implementation and on a damaged one.
#include <cstdio>
#include <sys/wait.h>

#include "table_test_support.h"

namespace qaro::test {
namespace {

int run(const std::string& cmd, std::string& out) {
    out.clear();
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int st = pclose(p);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST(QarotoolDbf, ListsStructureRecordsAndDeletions) {
    const std::string tool = std::string(QARO_BIN_DIR) + "/qarotool";
    const std::string table = std::string(QARO_FIXTURES_DIR) + "/t_types.dbf";
    std::string out;
    ASSERT_EQ(run(tool + " dbf " + table, out), 0) << out;
    EXPECT_NE(out.find("field 2 AMOUNT N 10 2\n"), std::string::npos);
    EXPECT_NE(out.find("record 4 deleted NAME=[DELTA     ] AMOUNT=5.50 QTY=1 BORN=20240229 ACTIVE=T "
                       "NOTES=[Memo of a deleted record]\n"),
              std::string::npos);
    EXPECT_NE(out.find("record 6 NAME=[CAF\\x82      ] AMOUNT=9999999.99 QTY=-9999"), std::string::npos);
    ASSERT_EQ(run(tool + " dbf " + table + " --json", out), 0);
    EXPECT_NE(out.find("{\"recno\":4,\"deleted\":true,\"fields\":{\"NAME\":\"DELTA     \",\"AMOUNT\":5.50,"
                       "\"QTY\":1,\"BORN\":\"20240229\",\"ACTIVE\":true,\"NOTES\":\"Memo of a deleted record\"}}\n"),
              std::string::npos);
}

TEST(QarotoolDbf, DamagedTableExitsWithOne) {
    Sandbox box;
    const std::string tool = std::string(QARO_BIN_DIR) + "/qarotool";
    std::FILE* in = std::fopen((std::string(QARO_FIXTURES_DIR) + "/t_index.dbf").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char buf[300];
    std::size_t n = std::fread(buf, 1, sizeof buf, in);
    std::fclose(in);
    box.write_host('C', "CUT.DBF", std::string(buf, n));
    box.write_host('C', "JUNK.DBF", "not a table at all, but long enough to hold a header");
    std::string out;
    EXPECT_EQ(run(tool + " dbf " + box.host('C', "CUT.DBF") + " 2>&1", out), 1);
    EXPECT_NE(out.find("damaged table"), std::string::npos) << out;
    EXPECT_NE(out.find("record 15 KEY=[AB      ]"), std::string::npos);   // the records that are there
    EXPECT_EQ(run(tool + " dbf " + box.host('C', "JUNK.DBF") + " 2>&1", out), 1);
    EXPECT_NE(out.find("not a dBASE III table"), std::string::npos) << out;
}

}  // namespace
}  // namespace qaro::test
