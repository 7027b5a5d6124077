#include <gtest/gtest.h>

#include <filesystem>

#include "instal/eligibility.h"
#include "instal/input_dir.h"
#include "instal/services/leave_sequence.h"
#include "instal/services/unpacker_run.h"
#include "instal/user_config.h"
#include "platform/cipher.h"
#include "platform/file_system.h"
#include "platform/table/dbf_table.h"
#include "platform/table/work_area.h"
#include "platform/variable_set.h"
#include "platform/variable_store.h"
#include "screen/kit_fixture.h"
#include "support/sandbox.h"

namespace qaro {
namespace {

class InstalTest : public test::KitTest {
protected:
    void TearDown() override {
        work_areas().close_all();
        variables().clear();
        KitTest::TearDown();
    }
    void header_file(const std::string& path, const std::string& plain) {
        VariableSet s;
        s.set("pikheader", Value(ZASZYFR(plain)), Scope::Public);
        s.set("pik_inny", Value("zostaje"), Scope::Public);
        s.set("nie_pik", Value(1));
        ASSERT_TRUE(save_variables(path, "*", "", s));
    }
    std::string header_of(const std::string& path) {
        VariableSet s;
        EXPECT_TRUE(restore_variables(path, nullptr, s));
        return SZYFR(s.get("pikheader").text());
    }
    test::Sandbox box_{"C", "QARO"};
};

TEST_F(InstalTest, UserNameFromHeadersAndRewrittenHeaders) {
    struct Case {
        const char* header;
        const char* user;           // as CZYT_USER reads it
        const char* rewritten;      // PISZ_CONFIG_MEM with module BANK and user Nowa
    };
    const Case cases[] = {
        {"System qaroVORANTA program MASTER, Biuro Rachunkowe /wer. 27.10 (2026)", "Biuro Rachunkowe",
         "System qaroVORANTA program BANK, Nowa /wer. 27.10 (2026)"},
        {"System qaroVORANTA program MASTER, Firma", "Firma", "System qaroVORANTA program BANK, Nowa "},
        {"System qaroVORANTA program MASTER, Firma/wer. 3", "Firma/wer. 3", "System qaroVORANTA program BANK, Nowa /wer. 3"},
        {"bez przecinka", "bez przecinka", "System qaroVORANTA program BANK, Nowa "},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.header);
        header_file("C:\\QARO\\master.xpf", c.header);
        EXPECT_EQ(CZYT_USER("C:\\QARO\\", "master.xpf"), c.user);
        PISZ_CONFIG_MEM("C:\\QARO\\master.xpf", "Nowa", "BANK");
        EXPECT_EQ(header_of("C:\\QARO\\master.xpf"), c.rewritten);
        VariableSet s;
        ASSERT_TRUE(restore_variables("C:\\QARO\\master.xpf", nullptr, s));
        EXPECT_EQ(s.get("pik_inny").text(), "zostaje");   // other pik variables are written back
        EXPECT_FALSE(s.has("nie_pik"));                   // only pik* is saved
    }
}

TEST_F(InstalTest, HeadersKeepEachFilesOwnVariables) {
    header_file("C:\\QARO\\PLACE.XPF", "System qaroVORANTA program PL`ACE, A /wer. 1");
    VariableSet bank;
    bank.set("pikheader", Value(ZASZYFR("System qaroVORANTA program BANK, A /wer. 1")), Scope::Public);
    ASSERT_TRUE(save_variables("C:\\QARO\\BANK.XPF", "*", "", bank));
    PISZ_CONFIG_MEM("C:\\QARO\\PLACE.XPF", "B", "PL`ACE");
    PISZ_CONFIG_MEM("C:\\QARO\\BANK.XPF", "B", "BANK");
    VariableSet back;
    ASSERT_TRUE(restore_variables("C:\\QARO\\BANK.XPF", nullptr, back));
    EXPECT_FALSE(back.has("pik_inny"));   // PLACE's own variable stays in PLACE.XPF
    EXPECT_EQ(SZYFR(back.get("pikheader").text()), "System qaroVORANTA program BANK, B /wer. 1");

    box_.write_host('C', "QARO/DAMAGED.XPF", "not a variable file");
    PISZ_CONFIG_MEM("C:\\QARO\\DAMAGED.XPF", "B", "KADRY");
    EXPECT_EQ(box_.read_host('C', "QARO/DAMAGED.XPF"), "not a variable file");
}

TEST_F(InstalTest, ConfigurationFilesCopiedWhenMissingQaroplAlways) {
    box_.write_host('C', "QARO/_VOR_BAZ/PLACE.XPF", "new place");
    box_.write_host('C', "QARO/_VOR_BAZ/KADRY.XPF", "new kadry");
    box_.write_host('C', "QARO/_VOR_BAZ/qaropl.xpf", "new qaropl");
    box_.write_host('C', "QARO/_VOR_BAZ/README.TXT", "new readme");
    box_.write_host('C', "QARO/_VOR_BAZ/MASTER.0", "archive");
    box_.write_host('C', "QARO/PLACE.XPF", "company place");
    box_.write_host('C', "QARO/QAROPL.XPF", "old qaropl");
    INSTALUJ(Value(), "C:\\QARO\\_VOR_BAZ\\", "C:\\QARO\\");
    EXPECT_EQ(box_.read_host('C', "QARO/PLACE.XPF"), "company place");
    EXPECT_EQ(box_.read_host('C', "QARO/KADRY.XPF"), "new kadry");
    EXPECT_EQ(box_.read_host('C', "QARO/QAROPL.XPF"), "new qaropl");
    EXPECT_EQ(box_.read_host('C', "QARO/README.TXT"), "new readme");
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "QARO/MASTER.0")));
}

TEST_F(InstalTest, ConversionMarkDecidesTheUpdate) {
    struct Case {
        std::vector<std::pair<std::string, bool>> records;   // UWAGI, deleted
        bool eligible;
    };
    const Case cases[] = {
        {{{"  Konwersja ok  ", false}}, true},
        {{{"KONWERSJA OK", false}}, false},
        {{{"Konwersja ok.", false}}, false},
        {{}, false},
        {{{"Konwersja ok", true}}, false},
        {{{"Konwersja ok", true}, {"inne", false}}, false},
        {{{"", true}, {"Konwersja ok", false}}, true},
    };
    for (auto& c : cases) {
        std::string err;
        ASSERT_TRUE(DbfTable::create("C:\\QARO\\place.dbn", {{"BASE_NAME", 'C', 12, 0}, {"UWAGI", 'C', 40, 0}}, err)) << err;
        ASSERT_TRUE(work_areas().open("C:\\QARO\\place.dbn", "MAKE", false));
        for (auto& [uwagi, deleted] : c.records) {
            work_areas().current().append_blank();
            work_areas().current().put("UWAGI", Value(uwagi));
            if (deleted) work_areas().current().delete_record();
        }
        work_areas().current().close();
        work_areas().set_hide_deleted(true);
        int selected = work_areas().lowest_unused();
        work_areas().select(selected);
        keys({key::kEnter});
        EXPECT_EQ(SPR_CZY_MOZNA("C:\\QARO\\"), c.eligible) << c.records.size();
        EXPECT_EQ(work_areas().selected(), selected);
        EXPECT_EQ(work_areas().find("PLACKI"), nullptr);
        if (!c.eligible) {
            EXPECT_NE(screen_at_wait(0).find("jest zbyt stara aby uruchomić"), std::string::npos);
        }
    }
    // Held exclusively by another program: cannot be opened.
    auto holder = fs().open("C:\\QARO\\place.dbn", OpenMode::ReadWrite);
    ASSERT_TRUE(holder && holder->lock(LockMode::Exclusive));
    keys({key::kEnter});
    EXPECT_FALSE(SPR_CZY_MOZNA("C:\\QARO\\"));
    EXPECT_NE(screen_at_wait(0).find("Brak możliwości otwarcia pliku place.dbn"), std::string::npos);
    holder.reset();
    std::filesystem::remove(box_.host('C', "QARO/place.dbn"));
    keys({key::kEnter});
    EXPECT_FALSE(SPR_CZY_MOZNA("C:\\QARO\\"));
}

TEST_F(InstalTest, InstallationRecord) {
    auto record = [&] {
        VariableSet s;
        EXPECT_TRUE(restore_variables("C:\\QARO\\EXE\\wersja.xpf", nullptr, s));
        return s.get("inst_dat").date().dtos() + "/" + number_text(s.get("inst_nr").number()) + "/" +
               number_text(s.get("inst_nr_vor").number());
    };
    ::setenv("QARO_TODAY", "20261211", 1);
    AKTWERSJA("C:\\QARO\\");   // no EXE directory: nothing to write, no error
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "QARO/EXE")));
    AKTWERSJA("");
    ASSERT_TRUE(fs().make_dir("C:\\QARO\\EXE"));
    AKTWERSJA("C:\\QARO\\");
    EXPECT_EQ(record(), "20261211/0/0");
    AKTWERSJA("C:\\QARO\\");
    EXPECT_EQ(record(), "20261211/1/0");
    ::setenv("QARO_TODAY", "20261215", 1);
    AKTWERSJA("C:\\QARO\\");
    EXPECT_EQ(record(), "20261215/1/0");   // a later day keeps the counter
    ::setenv("QARO_TODAY", "20261214", 1);
    keys({key::kEnter});
    AKTWERSJA("C:\\QARO\\");               // the record is from the future
    EXPECT_NE(screen_at_wait(0).find("Sprawdź ustawienia daty systemowej."), std::string::npos);
    EXPECT_EQ(record(), "20261215/1/0");
    box_.write_host('C', "QARO/EXE/wersja.xpf", "damaged");
    AKTWERSJA("C:\\QARO\\");               // a damaged record is written anew
    EXPECT_EQ(record(), "20261214/0/0");
    ::unsetenv("QARO_TODAY");
}

TEST_F(InstalTest, IndexAndSemaphoreFilesRemovedFromTheTree) {
    for (const char* f : {"QARO/PLACE.CDX", "QARO/a.cdx", "QARO/X.SEM", "QARO/KEEP.DBF", "QARO/FIRMA/B.CDX",
                          "QARO/FIRMA/DEEP/C.Sem", "QARO/.hidden/D.CDX"})
        box_.write_host('C', f, "x");
    std::filesystem::create_directories(box_.host('C', "QARO/DIR.CDX"));
    WYWAL_CDX("C:\\QARO\\");
    for (const char* f : {"QARO/PLACE.CDX", "QARO/a.cdx", "QARO/X.SEM", "QARO/FIRMA/B.CDX", "QARO/FIRMA/DEEP/C.Sem"})
        EXPECT_FALSE(std::filesystem::exists(box_.host('C', f))) << f;
    for (const char* f : {"QARO/KEEP.DBF", "QARO/.hidden/D.CDX", "QARO/DIR.CDX"})
        EXPECT_TRUE(std::filesystem::exists(box_.host('C', f))) << f;
}

TEST_F(InstalTest, UnpackerRun) {
    box_.write_host('C', "QARO/_VOR_BAZ/bis.bat", "@echo off\r\nmd UNPACKED\r\necho done > UNPACKED\\OK.TXT\r\nbadcommand\r\n");
    box_.write_host('C', "QARO/_VOR_BAZ/WINRAR.EXE", "exe");
    ASSERT_TRUE(fs().change_dir("C:\\"));
    keys({});
    RUN_PRG("C:\\QARO\\_VOR_BAZ\\", "C:\\QARO\\", "", "bis", "", "Rozpakowywanie ...", false, ".bat");
    EXPECT_TRUE(std::filesystem::exists(box_.host('C', "QARO/UNPACKED/OK.TXT")));
    EXPECT_TRUE(std::filesystem::exists(box_.host('C', "QARO/bis.bat")));
    EXPECT_TRUE(std::filesystem::exists(box_.host('C', "QARO/WINRAR.EXE")));
    EXPECT_EQ(fs().current_dir(), "QARO");   // the system directory is current afterwards

    // A missing batch names it without its extension, cleans up and leaves the sequence.
    ASSERT_TRUE(fs().make_dir("C:\\QARO\\ROB"));
    box_.write_host('C', "QARO/ROB/SCRATCH", "x");
    keys({key::kEnter});
    EXPECT_THROW(RUN_PRG("C:\\QARO\\NONE\\", "C:\\QARO\\", "C:\\QARO\\ROB\\", "bis", "", "", false, ".bat"), LeaveSequence);
    EXPECT_NE(screen_at_wait(0).find("Brak zbioru \"bis\" na dyskietce instalacyjnej!"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(box_.host('C', "QARO/ROB")));
}

TEST_F(InstalTest, DirectoryEntry) {
    using namespace key;
    box_.write_host('C', "FULL/data.txt", "x");
    box_.write_host('C', "SYS/place.dbn", "x");
    box_.write_host('C', "SYS/qaropl.xpf", "x");
    std::filesystem::create_directories(box_.host('C', "EMPTY"));
    struct Case {
        const char* name;
        std::vector<int> keys;
        bool result;
        const char* dokad;   // trimmed
    };
    auto type = [](std::string s) { return test::typed(s); };
    auto cat = [](std::vector<std::vector<int>> parts) {
        std::vector<int> r;
        for (auto& p : parts) r.insert(r.end(), p.begin(), p.end());
        return r;
    };
    std::vector<Case> cases = {
        {"empty directory", cat({{kCtrlY}, type("c:\\empty"), {kEnter}}), true, "C:\\EMPTY\\"},
        {"relative, then created", cat({{kCtrlY}, type("NEW"), {kEnter, kEnter}, {kCtrlY}, type("C:\\NEW"), {kEnter}, type("t")}),
         true, "C:\\NEW\\"},
        {"two levels cannot be made", cat({{kCtrlY}, type("C:\\A\\B"), {kEnter}, type("t"), {kEnter, kEsc}, type("t")}), false,
         "C:\\A\\B\\"},
        {"not empty, no system", cat({{kCtrlY}, type("C:\\FULL"), {kEnter, kEnter, kEsc}, type("t")}), false, "C:\\FULL\\"},
        {"system, backup made", cat({{kCtrlY}, type("C:\\SYS"), {kEnter}, type("t")}), true, "C:\\SYS\\"},
        {"system, no backup", cat({{kCtrlY}, type("C:\\SYS"), {kEnter}, type("n")}), false, "C:\\SYS\\"},
        {"Esc, no, then Esc, yes", {kEsc, 'n', kEsc, 't'}, false, "C:\\"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        keys(c.keys);
        ASSERT_TRUE(fs().change_dir("C:\\QARO"));
        std::string dokad = "C:\\", rob;
        EXPECT_EQ(INPUTDIR(dokad, rob), c.result);
        EXPECT_EQ(rtrim(dokad), c.dokad);
        EXPECT_EQ(con_->keys_left(), 0u);
        if (std::string(c.name) == "system, backup made") {
            ASSERT_FALSE(rob.empty());
            EXPECT_EQ(rob.rfind("C:\\SYS\\", 0), 0u);
            EXPECT_TRUE(fs().is_dir(rob));
            EXPECT_TRUE(fs().is_dir("C:\\SYS\\EXE"));
            EXPECT_EQ(fs().current_dir(), "SYS");
        }
        if (std::string(c.name) == "empty directory") {
            EXPECT_TRUE(fs().is_dir("C:\\EMPTY\\EXE"));
        }
        if (std::string(c.name) == "relative, then created") {
            EXPECT_FALSE(fs().is_dir("C:\\NEW\\EXE"));
        }
    }
}

}  // namespace
}  // namespace qaro
