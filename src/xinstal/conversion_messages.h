// The conversion's messages: a message window that waits for a key, and a wait for one key
// press after discarding the keys typed ahead. Kept apart so that the reader and the walk do
// not depend on the screen kit's details.
#pragma once

#include <string>

namespace qaro {

// Shows `text` (stored digraph form) in a message window and waits for a key.
void message_window(const std::string& text);

// Discards pending keystrokes, then waits for one key press.
void clear_keys_and_wait();

}  // namespace qaro
