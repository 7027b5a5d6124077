// A fresh screen kit on a scripted console for each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/screen/console.h"
#include "platform/screen/headless_console.h"
#include "platform/screen/key_script.h"
#include "platform/screen/kit.h"

namespace qaro::test {

// A console that plays keys and keeps a copy of the screen at every key wait.
class RecordingConsole : public Console {
public:
    explicit RecordingConsole(std::vector<int> keys) : keys_(std::move(keys)) {}
    void show(const ScreenModel&) override {}
    int read_key(const ScreenModel& s) override {
        snapshots.push_back(s);
        if (next_ >= keys_.size()) {
            exhausted = true;
            return key::kEsc;   // keeps a faulty dialog from looping for ever
        }
        return keys_[next_++];
    }
    int poll_key(int) override { return 0; }
    void set_title(std::string_view t) override { title = std::string(t); }
    void restore() override {}
    std::size_t keys_left() const { return keys_.size() - next_; }

    std::vector<ScreenModel> snapshots;
    std::string title;
    bool exhausted = false;

private:
    std::vector<int> keys_;
    std::size_t next_ = 0;
};

class KitTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { set_console(nullptr); }

    void reset() {
        reset_screen_kit();
        PLCHANGE(PolishStandard::Latin2);
    }
    // Keys for the next dialogs; returns the console to inspect.
    RecordingConsole& keys(std::vector<int> k) {
        auto c = std::make_unique<RecordingConsole>(std::move(k));
        con_ = c.get();
        set_console(std::move(c));
        return *con_;
    }
    // The screen row as UTF-8 at the i-th key wait.
    std::string row_at_wait(std::size_t wait, int row) const {
        return con_->snapshots.at(wait).row_utf8(row, polish_standard());
    }
    // All rows of the i-th key wait in one text.
    std::string screen_at_wait(std::size_t wait) const {
        std::string s;
        for (int r = 0; r < kScreenRows; ++r) s += row_at_wait(wait, r) + "\n";
        return s;
    }
    static std::string all_rows() {
        std::string s;
        for (int r = 0; r < kScreenRows; ++r) s += screen_row(r) + "\n";
        return s;
    }

    RecordingConsole* con_ = nullptr;
};

inline std::vector<int> typed(std::string_view text) {
    std::vector<int> k;
    for (char c : text) k.push_back(static_cast<unsigned char>(c));
    return k;
}

}  // namespace qaro::test
