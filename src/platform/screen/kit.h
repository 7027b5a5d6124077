// The maker's screen kit: framed windows over a window stack, messages, questions, menus,
// progress bars, a scrollable text viewer, input fields, the key-hint line, colour sets and
// Polish text. Texts are digraph text or display bytes; the kit converts them with P before
// showing them (P is idempotent). Every wait for a key goes through the console (console.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/screen/key_codes.h"
#include "platform/screen/polish_text.h"
#include "platform/screen/screen_model.h"
#include "platform/value.h"

namespace qaro {

// A window on the stack; 0 is "no window". Handles are never reused, so closing a handle twice
// or closing a handle that was never opened does nothing.
using WindowHandle = int;
constexpr WindowHandle kNoWindow = 0;

// ---- windows ----
// Opens a framed window (mode 2: background window with a double frame, no shadow; the first
// background window's title also becomes the terminal's title; mode -2 and any other: dialog
// with a single frame and a shadow) in colour set `colour_set` (0: the current set).
WindowHandle ROZWIN(int mode, int top, int left, int bottom, int right, const Value& title = {},
                    int colour_set = 0);
// Restores what was under the window. Windows opened later that overlap it stay intact.
void ZWIN(WindowHandle handle);

// ---- messages ----
// A message (text or array of lines) that waits for one key and closes; returns the key.
// row/col 0: centred; kind 3: a warning (warning colours).
int KOM3(const Value& text, int row = 0, int col = 0, int kind = 0);
// A working message that stays open until ZWIN; text on screen row `row` (0: centred).
WindowHandle KOM4(const Value& text, int row = 0);
// A message box of lines with a title. It waits for one key and closes when `wait_seconds` is a
// number or `wait` is true (the result is then kNoWindow); otherwise it stays open and its handle
// is returned. row/col: top-left corner of the box, 0 or NIL centred. colour_set NIL: the current set.
WindowHandle KOM5(const Value& lines, const Value& row = {}, const Value& col = {},
                  const Value& title = {}, const Value& wait_seconds = {},
                  const Value& colour_set = {}, const Value& wait = {});
// Yes/no question offering "Tak" and "Nie", `def` highlighted at first; `lines` (text or array)
// are shown above the question. True for yes.
// Keys: T/Y yes, N no (either case), Left/Right move, Enter takes the highlighted answer, Esc no.
bool DECYZJA(bool def, const Value& question, const Value& row = {}, const Value& col = {},
             const Value& lines = {});
// A choice among `options` (array of texts) under the text `title`, with the extra `lines` above
// the options and `caption` in the frame. Returns the 1-based choice, 0 on Esc.
int ALERT(const Value& title, const Value& options, int def = 1, const Value& flag = {},
          const Value& lines = {}, const Value& unused6 = {}, const Value& unused7 = {},
          const Value& unused8 = {}, const Value& caption = {});

// ---- menu ----
struct MenuOptions {
    // nullptr: the menu opens its own window and closes it on return. Otherwise: when *window
    // holds no window, the menu leaves its window open there; when it holds one, it is reused.
    WindowHandle* window = nullptr;
    // Key handler called for each key the menu does not handle itself (everything except the
    // arrows, Home/End, PgUp/PgDn); it reads the key with LASTKEY(). 0 ends without a choice,
    // 1 ends with the current item, 2 lets the menu handle the key (letters jump to an item).
    std::function<int()> key_handler;
    std::string handler_name;   // used when key_handler is empty: a name given to register_key_handler
    std::string title;
    int colour_set = 0;         // 0: menu colours (set 36)
    std::string hint;           // shown in the key-hint line while the menu runs
    std::vector<int> end_keys;  // keys that end the menu with the current item chosen
};
// Items (array of texts) at row/col (negative: centred); def is the 1-based starting item.
// Returns the chosen item, 0 on Esc. Without a handler: arrows, Home/End, PgUp/PgDn move,
// Enter takes, Esc gives 0, a letter jumps to the next item starting with it.
int MENU(const Value& items, int row = -1, int col = -1, int def = 1, const MenuOptions& options = {});
// Named key handlers for MenuOptions::handler_name (e.g. "klaw_men()").
void register_key_handler(std::string_view name, std::function<int()> handler);
// The colour set a menu is drawn with.
int K_SPEC_MEN(int mode, int colour_set);

// ---- key-hint line, captions ----
// Sets the key-hint line (bottom row) remembering the previous text; a number (-1) restores the
// previous text.
void STATLINE(const Value& text);
// Shows a step caption in the row above the key-hint line ("" clears it).
void DAJ_WZORZEC(const Value& unused, const Value& text);

// ---- progress bars ----
// Inner bar (over records) and outer bar (over tables); each opens its own window, closed
// with ZWIN. GO* clamp done to 0..total; total <= 0 shows an empty bar.
WindowHandle INITPROGRES();
void GOPROGRES(double done, double total);
WindowHandle INITDBASE();
void GODBASE(double done, double total);

// ---- text viewer, files ----
// Shows `text` (lines split on CR LF or LF, tabs to 8) in a window `width` columns wide under
// `title`; arrows and PgUp/PgDn scroll; Enter, Esc or Ctrl+W leave. With a question, it is then
// asked as DECYZJA(false, question, ..., lines); the result is its answer. Without one: true.
bool EDYT_OPIS(const Value& text, const Value& title, const Value& unused3 = {}, bool unused4 = false,
               bool unused5 = false, bool unused6 = false, int width = 80, const Value& question = {},
               const Value& lines = {});
// Reads a whole file (DOS path) into text; false when it cannot be read.
bool READFILE(std::string_view name, std::string& text);

// ---- colours ----
// Selects colour set n (32 background, 36 menus, 37 warnings, 38 dialogs; others use 38's
// colours) and returns the previous set number.
int K_SET_ZESTAW(int n);
void K_NORM();                // normal colour of the current set for SAY
void K_BOLD(int unused = -1); // bold colour of the current set for SAY
void K_CLEAR(int mode = 1);   // clears the screen: 1 with the background pattern, else blank
void K_ZMIEN_PALETE();        // switches to the suite's palette (background pattern colours)
// Frame and mark glyphs: "*" gives the selection mark.
std::string KODY_RAMEK(std::string_view what);
// Leaves the suite's screen state: default palette and colours, no windows, cursor shown.
void STARY_GEN();

// ---- keys ----
// Waits for a key (seconds <= 0) or polls for up to `seconds`; 0 when none came.
int INKEY(double seconds = 0);
int LASTKEY();
// Puts keys into the type-ahead buffer, read before the console's keys.
void KEYBOARD(std::string_view keys);
void CLEAR_KEYBOARD();
// True for a key that closes a dialog with confirmation (Ctrl+W, Ctrl+Enter).
bool K_CLOSE(int key);
// Assigns an action to a key during the kit's waits (nullptr removes it); returns the previous.
using KeyAction = std::function<void()>;
KeyAction SETKEY(int key, KeyAction action);

// ---- input fields ----
// One input field editing a text variable. The field shows `width` bytes (0: the variable's
// length); typing overwrites (Ins toggles insert), Home/End/Left/Right move, Del and Backspace
// delete, Ctrl+Y empties; Enter moves to the next field (after the last: confirms), Ctrl+W and
// Ctrl+Enter confirm, Up/Down move between fields, Esc leaves. Typing past the end stays.
class InputField {
public:
    InputField(int row, int col, std::string& variable, int width = 0);
    const std::string& text() const { return buffer_; }
    // Replaces the field's text (padded or cut to its width), e.g. from a key action.
    void set_text(std::string_view text);
    int row() const { return row_; }
    int col() const { return col_; }
    int width() const { return width_; }

private:
    friend struct InputEditor;
    int row_, col_, width_;
    std::string* variable_;
    std::string buffer_;
    std::string seen_;   // the variable's value when the field last read it
    int pos_ = 0;
};
using GetList = std::vector<InputField>;
// Edits the fields until a confirming key (true: every field's text is stored in its variable)
// or Esc / READKILL (false: the active field's edits are dropped). LASTKEY() gives the key.
bool READMODAL(GetList& fields);
// The field being edited, nullptr outside READMODAL.
InputField* GETACTIVE();
// Ends the running READMODAL after the current key action (as Esc, without storing).
void READKILL(bool kill = true);

// ---- plain screen output ----
void say(int row, int col, std::string_view bytes);   // in the colour chosen by K_NORM/K_BOLD
void set_pos(int row, int col);
void set_cursor(bool visible);
void clear_screen();                                  // blank, default colours
void reset_colours();                                 // default colours for say

// ---- access for tests and the programs ----
const ScreenModel& screen();
std::string screen_row(int row);   // one row as UTF-8 under the selected standard
// Redraws the console from the model (after say/set_pos outside a dialog).
void screen_refresh();
// Forgets all windows, hints and keys and clears the screen (a fresh kit for each test).
void reset_screen_kit();

}  // namespace qaro
