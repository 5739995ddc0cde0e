#pragma once
// A font object shared by reference, like the platform's standard font
// object: the caption painter, the menu bar and the link label keep Ref<StdFont>,
// so changing a font's name or size reaches every holder. Kept as our own
// small type because the platform object reports the realized face instead
// of the name it was given on some systems.
#include <windows.h>

#include <string>

#include "plumbing/RefCounted.h"

class StdFont : public RefCounted {
public:
    explicit StdFont(std::wstring name = L"MS Sans Serif", double size = 8.25);

    const std::wstring& Name() const { return name_; }
    void Name(const std::wstring& v);
    double Size() const { return size_; }  // points, a decimal value
    void Size(double v);
    bool Bold() const { return bold_; }
    void Bold(bool v);
    bool Italic() const { return italic_; }
    void Italic(bool v);
    bool Underline() const { return underline_; }
    void Underline(bool v);
    bool Strikethrough() const { return strikethrough_; }
    void Strikethrough(bool v);
    BYTE Charset() const { return charset_; }
    void Charset(BYTE v);

    // The GDI font at dpi, made on demand and kept until a property changes
    // or another DPI is asked for; owned by this object. A window passes its
    // own DPI.
    HFONT hFont(int dpi) const;
    // At the system's DPI, for what belongs to no window.
    HFONT hFont() const;
    // What hFont(dpi) is made from, for a caller that keeps fonts of its own.
    LOGFONTW LogFont(int dpi) const;

    // An independent copy (what a container hands out as a fresh font).
    Ref<StdFont> Clone() const;

    ~StdFont() override;

private:
    void Invalidate() const;

    std::wstring name_;
    double size_;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
    BYTE charset_ = DEFAULT_CHARSET;
    mutable HFONT font_ = nullptr;
    mutable int fontDpi_ = 0;  // the DPI font_ was made for
};

// Point size to LOGFONT height at the given resolution: the size rounded to an
// integer with halves to even, then -MulDiv(size, dpi, 72).
LONG PointSizeToHeight(double points, int dpiY);
