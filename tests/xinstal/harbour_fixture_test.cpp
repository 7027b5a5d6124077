// The reader against .mem files written by an independent xBase implementation and the values
// that implementation reads back from them (the *.expected.txt listings).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/variable_text.h"
#include "xinstal/legacy_reader.h"

namespace qaro {
namespace {

std::string read_host_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string fixture(const std::string& name) { return std::string(QARO_FIXTURES_DIR) + "/" + name; }

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(' ');
    auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::string hex_to_bytes(std::istringstream& words) {
    std::string out, w;
    while (words >> w) out += static_cast<char>(std::stoi(w, nullptr, 16));
    return out;
}

// The oracle's variables in its order: "NAME | T | details" lines, C values followed by
// "    hex:" lines (or "hex: (no bytes)").
std::vector<LegacyVariable> oracle(const std::string& listing_path) {
    std::istringstream in(read_host_file(listing_path));
    std::vector<LegacyVariable> vars;
    std::string line;
    bool in_list = false;
    while (std::getline(in, line)) {
        if (line.rfind("variables:", 0) == 0) {
            in_list = true;
            continue;
        }
        if (!in_list) continue;
        if (line.empty() || line[0] == '#') break;
        if (line.rfind("    hex:", 0) == 0) {
            std::string rest = line.substr(8);
            if (rest.find("(no bytes)") != std::string::npos) continue;
            std::istringstream words(rest);
            std::string bytes = hex_to_bytes(words);
            vars.back().value = Value(vars.back().value.text() + bytes);
            continue;
        }
        auto bar1 = line.find('|');
        auto bar2 = line.find('|', bar1 + 1);
        std::string name = trim(line.substr(0, bar1));
        std::string type = trim(line.substr(bar1 + 1, bar2 - bar1 - 1));
        std::string details = trim(line.substr(bar2 + 1));
        Value v;
        if (type == "C") {
            v = Value(std::string());
        } else if (type == "N") {
            std::istringstream words(details.substr(details.find("ieee_le=") + 8));
            std::string b = hex_to_bytes(words);
            std::uint64_t bits = 0;
            for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            v = Value(d);
        } else if (type == "D") {
            v = Value(details.rfind("EMPTY", 0) == 0 ? Date() : Date::from_dtos(details.substr(0, 8)));
        } else if (type == "L") {
            v = Value(details == "T");
        }
        vars.push_back({name, v});
    }
    return vars;
}

// Texts that the reader's text rules change on purpose, and what they become.
const std::map<std::string, std::string> kDeliberate = {
    {"T_EOF", "ends with ctrl-z"},          // a last 0x1A is dropped
    {"T_SOFTCR", "soft\r\nwrapped"},        // 141 + LF becomes CR LF
    {"T_141", "x\r\ny"},                    // a lone 141 becomes CR LF
};

class HarbourMem : public ::testing::TestWithParam<const char*> {};

TEST_P(HarbourMem, SameVariablesTypesAndValues) {
    const std::string base = GetParam();
    auto expected = oracle(fixture(base + ".expected.txt"));
    auto got = read_legacy_variables(read_host_file(fixture(base + ".mem")));
    ASSERT_EQ(got.size(), expected.size());
    int deliberate_seen = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(got[i].name, expected[i].name);
        ASSERT_EQ(got[i].value.type(), expected[i].value.type());
        auto d = kDeliberate.find(got[i].name);
        if (d != kDeliberate.end()) {
            ++deliberate_seen;
            EXPECT_NE(got[i].value.text(), expected[i].value.text());
            EXPECT_EQ(got[i].value.text(), d->second);
            EXPECT_EQ(got[i].value.text(), clean_legacy_text(expected[i].value.text()));
        } else {
            EXPECT_EQ(variable_line({got[i].name, Scope::Private, got[i].value}),
                      variable_line({expected[i].name, Scope::Private, expected[i].value}));
            EXPECT_TRUE(got[i].value == expected[i].value);
        }
    }
    if (base == "mem_text") {
        EXPECT_EQ(deliberate_seen, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, HarbourMem, ::testing::Values("mem_types", "mem_text", "mem_dates", "mem_empty"));

// The oracle lists are parsed, not empty by mistake.
TEST(HarbourMemOracle, ListsAreRead) {
    EXPECT_EQ(oracle(fixture("mem_types.expected.txt")).size(), 8u);
    EXPECT_EQ(oracle(fixture("mem_text.expected.txt")).size(), 18u);
    EXPECT_EQ(oracle(fixture("mem_dates.expected.txt")).size(), 10u);
    auto text = oracle(fixture("mem_text.expected.txt"));
    EXPECT_EQ(text.back().name, "T_1000");
    EXPECT_EQ(text.back().value.text().size(), 1000u);
}

}  // namespace
}  // namespace qaro
