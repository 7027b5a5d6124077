// Key codes as the kit's dialogs and key handlers see them (the classic DOS INKEY numbering:
// Enter 13, Esc 27, Ctrl+W 23, Ins 22, F2 -1). Printable keys are their byte in the OEM code page.
#pragma once

namespace qaro::key {

constexpr int kNone = 0;
constexpr int kEnter = 13;
constexpr int kCtrlEnter = 10;
constexpr int kEsc = 27;
constexpr int kCtrlW = 23;
constexpr int kIns = 22;
constexpr int kDel = 7;
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kCtrlY = 25;
constexpr int kUp = 5;
constexpr int kDown = 24;
constexpr int kLeft = 19;
constexpr int kRight = 4;
constexpr int kHome = 1;
constexpr int kEnd = 6;
constexpr int kPgUp = 18;
constexpr int kPgDn = 3;
constexpr int kF1 = 28;
// F2..F10 are -1..-9.
constexpr int f(int n) { return n == 1 ? kF1 : 1 - n; }
constexpr int kF2 = -1;

}  // namespace qaro::key
