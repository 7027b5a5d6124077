#include "xinstal/conversion_messages.h"

#include "platform/screen/kit.h"

namespace qaro {

void message_window(const std::string& text) { KOM3(Value(text), 0, 0, 3); }

void clear_keys_and_wait() {
    CLEAR_KEYBOARD();
    INKEY(0);
}

}  // namespace qaro
