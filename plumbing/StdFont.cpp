#include "plumbing/StdFont.h"

#include <cmath>

#include "plumbing/DpiAware.h"

LONG PointSizeToHeight(double points, int dpiY) {
    // nearbyint rounds halves to even in the default rounding mode.
    const int whole = static_cast<int>(std::nearbyint(points));
    return -MulDiv(whole, dpiY, 72);
}

StdFont::StdFont(std::wstring name, double size) : name_(std::move(name)), size_(size) {}

StdFont::~StdFont() { Invalidate(); }

void StdFont::Invalidate() const {
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
}

void StdFont::Name(const std::wstring& v) { name_ = v; Invalidate(); }
void StdFont::Size(double v) { size_ = v; Invalidate(); }
void StdFont::Bold(bool v) { bold_ = v; Invalidate(); }
void StdFont::Italic(bool v) { italic_ = v; Invalidate(); }
void StdFont::Underline(bool v) { underline_ = v; Invalidate(); }
void StdFont::Strikethrough(bool v) { strikethrough_ = v; Invalidate(); }
void StdFont::Charset(BYTE v) { charset_ = v; Invalidate(); }

LOGFONTW StdFont::LogFont(int dpi) const {
    LOGFONTW lf{};
    lf.lfHeight = PointSizeToHeight(size_, dpi);
    lf.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic_;
    lf.lfUnderline = underline_;
    lf.lfStrikeOut = strikethrough_;
    lf.lfCharSet = charset_;
    lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    return lf;
}

HFONT StdFont::hFont(int dpi) const {
    if (font_ && fontDpi_ != dpi) Invalidate();
    if (!font_) {
        const LOGFONTW lf = LogFont(dpi);
        font_ = CreateFontIndirectW(&lf);
        fontDpi_ = dpi;
    }
    return font_;
}

HFONT StdFont::hFont() const { return hFont(SystemDpi()); }

Ref<StdFont> StdFont::Clone() const {
    auto copy = MakeRef<StdFont>(name_, size_);
    copy->bold_ = bold_;
    copy->italic_ = italic_;
    copy->underline_ = underline_;
    copy->strikethrough_ = strikethrough_;
    copy->charset_ = charset_;
    return copy;
}
