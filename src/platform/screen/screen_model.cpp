#include "platform/screen/screen_model.h"

#include <algorithm>

namespace qaro {

Rect ScreenModel::clip(Rect r) {
    r.top = std::clamp(r.top, 0, kScreenRows - 1);
    r.bottom = std::clamp(r.bottom, 0, kScreenRows - 1);
    r.left = std::clamp(r.left, 0, kScreenCols - 1);
    r.right = std::clamp(r.right, 0, kScreenCols - 1);
    if (r.bottom < r.top) r.bottom = r.top;
    if (r.right < r.left) r.right = r.left;
    return r;
}

void ScreenModel::set_cell(int r, int c, Cell cell) {
    if (r < 0 || r >= kScreenRows || c < 0 || c >= kScreenCols) return;
    cells_[r][c] = cell;
}

void ScreenModel::put(int r, int c, std::string_view bytes, Attr attr) {
    if (r < 0 || r >= kScreenRows) return;
    for (char ch : bytes) {
        if (c >= kScreenCols) break;
        if (c >= 0) cells_[r][c] = Cell{static_cast<unsigned char>(ch), attr};
        ++c;
    }
}

void ScreenModel::fill(const Rect& rect, unsigned char ch, Attr attr) {
    for (int r = std::max(rect.top, 0); r <= std::min(rect.bottom, kScreenRows - 1); ++r)
        for (int c = std::max(rect.left, 0); c <= std::min(rect.right, kScreenCols - 1); ++c)
            cells_[r][c] = Cell{ch, attr};
}

void ScreenModel::set_attr(const Rect& rect, Attr attr) {
    for (int r = std::max(rect.top, 0); r <= std::min(rect.bottom, kScreenRows - 1); ++r)
        for (int c = std::max(rect.left, 0); c <= std::min(rect.right, kScreenCols - 1); ++c)
            cells_[r][c].attr = attr;
}

void ScreenModel::frame(const Rect& rc, bool dbl, Attr attr) {
    // Box-drawing bytes shared by code pages 437, 852 and Mazowia.
    const unsigned char h = dbl ? 0xCD : 0xC4, v = dbl ? 0xBA : 0xB3;
    const unsigned char tl = dbl ? 0xC9 : 0xDA, tr = dbl ? 0xBB : 0xBF;
    const unsigned char bl = dbl ? 0xC8 : 0xC0, br = dbl ? 0xBC : 0xD9;
    for (int c = rc.left + 1; c < rc.right; ++c) {
        set_cell(rc.top, c, {h, attr});
        set_cell(rc.bottom, c, {h, attr});
    }
    for (int r = rc.top + 1; r < rc.bottom; ++r) {
        set_cell(r, rc.left, {v, attr});
        set_cell(r, rc.right, {v, attr});
    }
    set_cell(rc.top, rc.left, {tl, attr});
    set_cell(rc.top, rc.right, {tr, attr});
    set_cell(rc.bottom, rc.left, {bl, attr});
    set_cell(rc.bottom, rc.right, {br, attr});
}

SavedRegion ScreenModel::save(Rect rect) const {
    SavedRegion s;
    s.rect = clip(rect);
    for (int r = s.rect.top; r <= s.rect.bottom; ++r)
        for (int c = s.rect.left; c <= s.rect.right; ++c) s.cells.push_back(cells_[r][c]);
    return s;
}

void ScreenModel::restore(const SavedRegion& s) {
    std::size_t i = 0;
    for (int r = s.rect.top; r <= s.rect.bottom; ++r)
        for (int c = s.rect.left; c <= s.rect.right; ++c) cells_[r][c] = s.cells[i++];
}

std::string ScreenModel::row_bytes(int r) const {
    std::string s;
    for (const auto& cell : cells_[r]) s.push_back(static_cast<char>(cell.ch));
    return s;
}

std::string ScreenModel::row_utf8(int r, PolishStandard standard) const {
    return oem_to_utf8(row_bytes(r), standard);
}

}  // namespace qaro
