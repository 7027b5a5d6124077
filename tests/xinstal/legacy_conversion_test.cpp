#include "xinstal/legacy_conversion.h"

#include "mem_builder.h"
#include "platform/variable_store.h"
#include "platform/variable_text.h"
#include "xinstal/legacy_reader.h"
#include "xinstal_sandbox.h"

namespace qaro {
namespace {

using test::mem_file;
using test::mem_logical;
using test::mem_number;
using test::mem_text;

class Conversion : public test::XinstalSandbox {
protected:
    // The variables of a current file as "NAME T VALUE" lines in name order, or "unreadable".
    std::string saved(const std::string& dos_path) {
        VariableSet set;
        std::string error;
        if (!restore_variables(dos_path, &error, set)) return "unreadable: " + error;
        std::string s;
        for (auto* v : set.all()) s += variable_line(*v) + "\n";
        return s;
    }
    const Value kOff = Value(false);
};

TEST_F(Conversion, NameWithoutDotReadsMemAndWritesXpfBeside) {
    put("DATA\\CONFIG.MEM", mem_file(mem_text("FIRMA", "Alfa\r\nBeta") + mem_number("STAWKA", 18.5) +
                                     mem_logical("SIEC", 1)));
    EXPECT_EQ(KONWMAIN(Value("C:\\DATA\\CONFIG"), Value(), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\DATA\\CONFIG.XPF"), "FIRMA C \"Alfa\\x0D\\x0ABeta\"\nSIEC L T\nSTAWKA N 18.5\n");
    EXPECT_TRUE(exists("DATA\\CONFIG.MEM"));   // KONWMAIN itself never deletes
    EXPECT_TRUE(waits_.empty());
}

TEST_F(Conversion, DotInDirectoryNameStillGetsMemExtension) {
    put("A.B\\CONFIG.MEM", mem_file(mem_number("N", 1)));
    EXPECT_EQ(KONWMAIN(Value("C:\\A.B\\CONFIG"), Value(), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\A.B\\CONFIG.XPF"), "N N 1\n");
}

TEST_F(Conversion, HarbourFileConvertsToTheSameValuesTheReaderGives) {
    std::ifstream in(std::string(QARO_FIXTURES_DIR) + "/mem_types.mem", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    put("TYPES.MEM", bytes.str());
    EXPECT_EQ(KONWMAIN(Value("C:\\TYPES.MEM"), Value("C:\\OUT.XPF"), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\OUT.XPF"),
              "L_EMPTYC C \"\"\nM_FALSE L F\nN_TRUE L T\nO_NODATE D EMPTY\nP_DATE D 20000101\n"
              "Q_DEC N 3.14159\nR_NUM N 42\nS_CHAR C \"Hello, World\"\n");
}

TEST_F(Conversion, LaterRecordOfTheSameNameWinsAndDeskTopIsNotWritten) {
    put("X.MEM", mem_file(mem_number("X", 1) + mem_number("ODESKTOP", 5) + mem_number("X", 2)));
    EXPECT_EQ(KONWMAIN(Value("C:\\X.MEM"), Value(), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\X.XPF"), "X N 2\n");
}

TEST_F(Conversion, VariableSetIsEmptiedBeforeAndAfter) {
    variables().set("_dokad", Value("C:\\QARO\\"));
    put("V.MEM", mem_file(mem_number("A", 1)));
    EXPECT_EQ(KONWMAIN(Value("C:\\V.MEM"), Value(), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\V.XPF"), "A N 1\n");   // the caller's variable is not written
    EXPECT_EQ(variables().size(), 0u);
}

TEST_F(Conversion, NoVariableMeansNoOutputAndAnExistingOneUntouched) {
    put("EMPTY.MEM", "\x1A");
    EXPECT_EQ(KONWMAIN(Value("C:\\EMPTY.MEM"), Value(), kOff), ConversionResult::NoVariables);
    EXPECT_FALSE(exists("EMPTY.XPF"));

    put("UNKNOWN.MEM", mem_file(test::mem_record("ARR", 0xC1, 0, std::string(8, 'x'))));
    put("UNKNOWN.XPF", "old content");
    EXPECT_EQ(KONWMAIN(Value("C:\\UNKNOWN.MEM"), Value(), kOff), ConversionResult::NoVariables);
    EXPECT_EQ(get("UNKNOWN.XPF"), "old content");
}

TEST_F(Conversion, OntoItsOwnPath) {
    put("SPEC\\PODATEK.PLT", mem_file(mem_number("PROG", 85528)));
    EXPECT_EQ(KONWMAIN(Value("C:\\SPEC\\PODATEK.PLT"), Value("C:\\SPEC\\PODATEK.PLT"), kOff),
              ConversionResult::Converted);
    EXPECT_TRUE(is_current_variable_file("C:\\SPEC\\PODATEK.PLT"));
    EXPECT_EQ(saved("C:\\SPEC\\PODATEK.PLT"), "PROG N 85528\n");

    // A current file is never read as legacy: a second conversion leaves it byte for byte.
    const std::string once = get("SPEC\\PODATEK.PLT");
    EXPECT_EQ(KONWMAIN(Value("C:\\SPEC\\PODATEK.PLT"), Value("C:\\SPEC\\PODATEK.PLT"), kOff),
              ConversionResult::AlreadyCurrent);
    EXPECT_EQ(get("SPEC\\PODATEK.PLT"), once);

    // Nothing read: the file keeps its legacy content.
    put("SPEC\\ZAS.ZUS", "\x1A");
    EXPECT_EQ(KONWMAIN(Value("C:\\SPEC\\ZAS.ZUS"), Value("C:\\SPEC\\ZAS.ZUS"), kOff),
              ConversionResult::NoVariables);
    EXPECT_EQ(get("SPEC\\ZAS.ZUS"), "\x1A");
}

TEST_F(Conversion, RecordsBeforeACutShortRecordAreConverted) {
    put("CUT.MEM", mem_number("A", 1) + mem_logical("B", 0) + test::mem_record("T", 0xC3, 900, "only a bit"));
    EXPECT_EQ(KONWMAIN(Value("C:\\CUT.MEM"), Value(), kOff), ConversionResult::Converted);
    EXPECT_EQ(saved("C:\\CUT.XPF"), "A N 1\nB L F\n");
}

TEST_F(Conversion, EmptyNameShowsItsMessageAndWaitsForAKey) {
    struct Case {
        Value name, messages;
        std::size_t waits;
        bool message;
    } cases[] = {
        {Value(), Value(), 2, true},          {Value(""), Value(true), 2, true},
        {Value("   "), Value(1), 2, true},    // a non-logical switch counts as true
        {Value(5), Value(false), 1, false},   // off: only the key wait
    };
    for (auto& c : cases) {
        waits_.clear();
        reset_screen_kit();
        EXPECT_EQ(KONWMAIN(c.name, Value(), c.messages), ConversionResult::EmptyName);
        EXPECT_EQ(waits_.size(), c.waits);
        EXPECT_EQ(shown("Pusta nazwa pliku *.MEM!"), c.message);
    }
}

TEST_F(Conversion, MissingFileIsReportedWhenMessagesAreOn) {
    EXPECT_EQ(KONWMAIN(Value("C:\\NONE.MEM")), ConversionResult::MissingFile);
    EXPECT_TRUE(shown("File C:\\NONE.MEM nie istnieje!"));
    EXPECT_EQ(waits_.size(), 1u);
    waits_.clear();
    EXPECT_EQ(KONWMAIN(Value("C:\\NONE"), Value(), kOff), ConversionResult::MissingFile);
    EXPECT_TRUE(waits_.empty());
    EXPECT_FALSE(exists("NONE.XPF"));
}

TEST_F(Conversion, OutputThatCannotBeWrittenIsReportedNotPassedOff) {
    put("S.MEM", mem_file(mem_number("A", 1)));
    put("S.XPF", "read-only old file");
    ASSERT_TRUE(fs().set_attributes("C:\\S.XPF", attr::kReadOnly));
    EXPECT_EQ(KONWMAIN(Value("C:\\S.MEM")), ConversionResult::SaveFailed);
    EXPECT_TRUE(shown("C:\\S.XPF"));
    EXPECT_EQ(get("S.XPF"), "read-only old file");
    EXPECT_EQ(variables().size(), 0u);
}

}  // namespace
}  // namespace qaro
