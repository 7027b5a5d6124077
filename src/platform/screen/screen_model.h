// The 80x25 text screen: one OEM byte and one colour attribute per cell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/screen/polish_text.h"

namespace qaro {

constexpr int kScreenRows = 25;
constexpr int kScreenCols = 80;

// Colour attribute as on the DOS text screen: foreground in bits 0-3, background in bits 4-6.
using Attr = std::uint8_t;
constexpr Attr make_attr(int fg, int bg) { return static_cast<Attr>((fg & 15) | ((bg & 7) << 4)); }

struct Cell {
    unsigned char ch = ' ';
    Attr attr = 0x07;
    bool operator==(const Cell&) const = default;
};

struct Rect {
    int top = 0, left = 0, bottom = 0, right = 0;   // inclusive
    bool contains(int r, int c) const { return r >= top && r <= bottom && c >= left && c <= right; }
};

// A saved rectangle of cells.
struct SavedRegion {
    Rect rect;
    std::vector<Cell> cells;   // row by row
    Cell& at(int r, int c) { return cells[(r - rect.top) * (rect.right - rect.left + 1) + (c - rect.left)]; }
};

class ScreenModel {
public:
    ScreenModel() { clear(0x07); }

    const Cell& cell(int r, int c) const { return cells_[r][c]; }
    void set_cell(int r, int c, Cell cell);
    // Writes bytes from (r, c) to the right, clipped at the screen edge.
    void put(int r, int c, std::string_view bytes, Attr attr);
    void fill(const Rect& rect, unsigned char ch, Attr attr);
    void set_attr(const Rect& rect, Attr attr);
    void clear(Attr attr) { fill({0, 0, kScreenRows - 1, kScreenCols - 1}, ' ', attr); }
    // Single or double frame on the rectangle's border.
    void frame(const Rect& rect, bool double_line, Attr attr);

    SavedRegion save(Rect rect) const;   // clipped to the screen
    void restore(const SavedRegion& region);

    // Bytes of one row (80 of them).
    std::string row_bytes(int r) const;
    // One row as UTF-8 under a Polish letter standard.
    std::string row_utf8(int r, PolishStandard standard) const;

    int cursor_row = 0, cursor_col = 0;
    bool cursor_visible = false;

    static Rect clip(Rect rect);

private:
    std::array<std::array<Cell, kScreenCols>, kScreenRows> cells_{};
};

}  // namespace qaro
