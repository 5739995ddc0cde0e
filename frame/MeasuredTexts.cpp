#include "frame/MeasuredTexts.h"

#include <cwchar>

namespace {

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// A bar has a handful of items; texts that keep changing are not hoarded.
constexpr size_t kMostTexts = 32;

}  // namespace

SIZE MeasuredTexts::Measure(HDC dc, HFONT font, const std::wstring& text) {
    LOGFONTW lf{};
    // A font that cannot be read is measured every time, never remembered.
    if (GetObjectW(font, sizeof(lf), &lf) != sizeof(lf)) {
        sizes_.clear();
        font_ = LOGFONTW{};
        return Calculate(dc, text);
    }
    return Measure(dc, lf, text);
}

SIZE MeasuredTexts::Measure(HDC dc, const LOGFONTW& font, const std::wstring& text) {
    if (!SameFont(font, font_)) {
        sizes_.clear();
        font_ = font;
    }
    for (const auto& [measured, size] : sizes_) {
        if (measured == text) return size;
    }
    const SIZE size = Calculate(dc, text);
    if (sizes_.size() >= kMostTexts) sizes_.clear();
    sizes_.emplace_back(text, size);
    return size;
}

SIZE MeasuredTexts::Calculate(HDC dc, const std::wstring& text) const {
    RECT r{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | format_);
    return SIZE{r.right - r.left, r.bottom - r.top};
}
