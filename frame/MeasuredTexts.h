#pragma once
// Sizes of texts as DrawText measures them (DT_CALCRECT) in one font, kept
// while the font stays the same. The menu bar is drawn on every frame paint
// with a font made anew for that paint, so the font is told apart by what
// it is, not by its handle.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class MeasuredTexts {
public:
    // `format`: the DrawText flags the texts are drawn with.
    explicit MeasuredTexts(UINT format = 0) : format_(format) {}

    // The size of `text` in `font`, which is selected into `dc`.
    SIZE Measure(HDC dc, HFONT font, const std::wstring& text);
    // The same for a font the caller has made from `font`, saving the call
    // that reads it back; several texts in one font read it once.
    SIZE Measure(HDC dc, const LOGFONTW& font, const std::wstring& text);

private:
    SIZE Calculate(HDC dc, const std::wstring& text) const;

    UINT format_ = 0;
    LOGFONTW font_{};
    std::vector<std::pair<std::wstring, SIZE>> sizes_;
};
