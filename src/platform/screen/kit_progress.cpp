// Progress bars: the outer bar (over tables, INITDBASE/GODBASE) and the inner one (over
// records, INITPROGRES/GOPROGRES), each in its own window closed with ZWIN.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/screen/console.h"
#include "platform/screen/kit_state.h"

namespace qaro {

using namespace kit_detail;

namespace {

constexpr int kBarWidth = 50;
constexpr int kBarLeft = 12;
constexpr int kOuterTop = 14;
constexpr int kInnerTop = 17;

int g_shown[2] = {-1, -1};   // last percentage drawn per bar, to skip redundant redraws

WindowHandle open_bar(int top, int which) {
    WindowHandle h = open_window({top, kBarLeft - 2, top + 2, kBarLeft + kBarWidth + 6}, true, false, "",
                                 state().current_set);
    g_shown[which] = -1;
    return h;
}

void draw_bar(WindowHandle h, int which, double done, double total) {
    State& st = state();
    if (h == kNoWindow || !window_open(h)) return;
    double fraction = 0;
    if (total > 0 && std::isfinite(done) && std::isfinite(total)) fraction = std::clamp(done / total, 0.0, 1.0);
    int percent = static_cast<int>(std::floor(fraction * 100 + 1e-9));
    if (percent == g_shown[which]) return;
    g_shown[which] = percent;
    int filled = static_cast<int>(std::floor(fraction * kBarWidth + 1e-9));
    Rect box = window_box(h);
    const ColourSet& cs = colour_set(st.current_set);
    std::string bar(static_cast<std::size_t>(filled), '\xDB');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '\xB0');
    char pct[8];
    std::snprintf(pct, sizeof pct, "%3d%%", percent);
    st.screen.put(box.top + 1, kBarLeft, bar, cs.bold);
    st.screen.put(box.top + 1, kBarLeft + kBarWidth + 1, pct, cs.normal);
    console().show(st.screen);
}

}  // namespace

WindowHandle INITPROGRES() {
    State& st = state();
    st.inner_bar = open_bar(kInnerTop, 0);
    draw_bar(st.inner_bar, 0, 0, 0);
    return st.inner_bar;
}

void GOPROGRES(double done, double total) { draw_bar(state().inner_bar, 0, done, total); }

WindowHandle INITDBASE() {
    State& st = state();
    st.outer_bar = open_bar(kOuterTop, 1);
    draw_bar(st.outer_bar, 1, 0, 0);
    return st.outer_bar;
}

void GODBASE(double done, double total) { draw_bar(state().outer_bar, 1, done, total); }

}  // namespace qaro
