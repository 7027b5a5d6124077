// Key scripts of the headless console: one item per line.
//   ENTER ESC F1..F10 INS DEL CTRL-W CTRL-Y CTRL-ENTER UP DOWN LEFT RIGHT HOME END PGUP PGDN
//   BACKSPACE TAB   (key names, letter case ignored)
//   "text"          types the characters of text (UTF-8, turned into the selected code page)
//   !command        runs command through /bin/sh when the next key is read
//   # comment, blank lines: ignored
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qaro {

struct ScriptItem {
    enum class Kind { Key, Text, Command } kind = Kind::Key;
    int key = 0;
    std::string text;   // Text: UTF-8 characters; Command: the shell command
};

// Parses a script; on a line it does not understand, returns nullopt and sets `error`
// ("line 3: unknown key name 'FOO'").
std::optional<std::vector<ScriptItem>> parse_key_script(std::string_view script, std::string& error);
// Key code of a key name, or nullopt.
std::optional<int> key_by_name(std::string_view name);

}  // namespace qaro
