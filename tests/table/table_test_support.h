// Helpers of the table tests: a sandboxed C: drive, a clean set of work areas, and host I/O.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/table/work_area.h"
#include "support/sandbox.h"

namespace qaro::test {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QARO_TODAY", "20240315", 1);
        work_areas().close_all();
        work_areas().set_hide_deleted(false);
    }
    void TearDown() override {
        work_areas().close_all();
        work_areas().set_hide_deleted(false);
        unsetenv("QARO_TODAY");
    }
    // Host path of a file of C:\ ("X.DBF").
    std::string host(const std::string& rel) const { return box_.host('C', rel); }
    std::string read(const std::string& rel) const { return box_.read_host('C', rel); }
    void write(const std::string& rel, const std::string& bytes) const { box_.write_host('C', rel, bytes); }

    Sandbox box_;
};

inline std::string escape_bytes(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c == '\\')
            r += "\\\\";
        else if (c >= 32 && c < 127)
            r += static_cast<char>(c);
        else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

}  // namespace qaro::test
