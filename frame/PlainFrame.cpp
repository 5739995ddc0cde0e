#include "frame/PlainFrame.h"

#include "plumbing/DpiAware.h"

PlainMetrics PlainMetricsForDpi(int dpi) noexcept {
    return PlainMetrics{MetricForDpi(SM_CXFRAME, dpi), MetricForDpi(SM_CYFRAME, dpi), MetricForDpi(SM_CYCAPTION, dpi)};
}

RECT PlainCaptionRect(const PlainMetrics& m, int width) noexcept {
    return RECT{m.frameX, m.frameY, width - m.frameX, m.frameY + m.caption - 1};
}

std::array<RECT, 3> PlainButtonRects(const PlainMetrics& m, int width) noexcept {
    const RECT c = PlainCaptionRect(m, width);
    const int h = c.bottom - c.top;
    const int bw = h - 2;
    RECT close{c.right - h, c.top + 2, c.right - 2, c.bottom - 2};
    RECT maximize = close;
    OffsetRect(&maximize, -(bw + 2), 0);
    RECT minimize = maximize;
    OffsetRect(&minimize, -bw, 0);
    return {close, maximize, minimize};
}
