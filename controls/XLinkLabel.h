#pragma once
// A one-line text control that behaves like a web link: over it the text
// takes the hover colour and underline, the pointer is a pointing hand, and a
// click opens the address with the shell.
//
// The window owns the object: it holds a reference from WM_NCCREATE to
// WM_NCDESTROY, so the control lives as long as its window (destroyed with
// its parent), and any Ref a host keeps stays valid after that.
//
// Sizes and mouse positions are in pixels of the client area, one unit for
// m_Width, m_Height and the inside test.
#include <windows.h>
#include <olectl.h>

#include <functional>
#include <string>

#include "controls/ControlAmbient.h"
#include "controls/PropertyBag.h"
#include "plumbing/RefCounted.h"
#include "plumbing/StdFont.h"

class XLinkLabel : public RefCounted {
public:
    static constexpr const wchar_t* kClassName = L"TarvoloXLinkLabel";
    // A page of the author; new instances link to it.
    static constexpr const wchar_t* kDefaultURL = L"https://doravel.example.com/";
    static constexpr const wchar_t* kDefaultCaption = L"URL Label";

    // Creates the child window at (x, y) with size (cx, cy), in pixels of the
    // parent's client area. The properties are unset until the host calls
    // UserControl_InitProperties or UserControl_ReadProperties.
    static Ref<XLinkLabel> Create(HWND parent, int x, int y, int cx, int cy, ControlAmbient ambient, int id = 0);

    HWND hWnd() const { return m_hWnd; }

    // The DPI the caption's font is made for: the window's own from its
    // creation on, and what its parent tells it when the parent's DPI
    // changes (a parent answering WM_DPICHANGED moves and sizes its controls
    // itself, and tells them before the system does, if it does at all).
    int Dpi() const { return m_Dpi; }
    void Dpi(int dpi);

    OLE_COLOR BackColor() const { return m_BackColor; }
    void BackColor(OLE_COLOR v);
    OLE_COLOR NormTextColor() const { return m_NormTextColor; }
    void NormTextColor(OLE_COLOR v);
    OLE_COLOR HoverTextColor() const { return m_HoverTextColor; }
    void HoverTextColor(OLE_COLOR v);
    bool NormUnderline() const { return m_NormUnderline; }
    void NormUnderline(bool v);
    bool HoverUnderline() const { return m_HoverUnderline; }
    void HoverUnderline(bool v);
    Ref<StdFont> Font() const { return m_Font; }
    void Font(const Ref<StdFont>& v);
    const std::wstring& Caption() const { return m_Caption; }
    void Caption(const std::wstring& v);
    const std::wstring& url() const { return m_URL; }
    void url(const std::wstring& v);
    bool Enabled() const { return m_Enabled; }
    void Enabled(bool v);

    // Told the persisted name of each property that changes.
    std::function<void(const std::wstring& name)> PropertyChanged;
    // Opens an address; the real one asks the shell. Tests replace it so that
    // nothing is launched.
    std::function<void(const std::wstring& address)> ShellOpen;

    void UserControl_InitProperties();
    void UserControl_ReadProperties(const PropertyBag& bag);
    void UserControl_WriteProperties(PropertyBag& bag) const;

    // The drawing state: what the next paint uses.
    bool Hovering() const { return m_Hover; }
    OLE_COLOR CurrentTextColor() const { return m_ForeColor; }
    bool CurrentUnderline() const;
    int ScaleWidth() const { return m_Width; }
    int ScaleHeight() const { return m_Height; }

    ~XLinkLabel() override;

private:
    struct Token {};

public:
    // Only Create can make one (the token is private).
    XLinkLabel(Token, ControlAmbient ambient);

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void UserControl_Resize(int cx, int cy);
    void UserControl_MouseMove(int x, int y);
    void UserControl_Paint(HDC dc) const;
    void UserControl_Click();

    void SetCurrentUnderline(bool underline);
    void Refresh() const;
    void Report(const wchar_t* name) const;

    int m_Height = 0;
    int m_Width = 0;
    bool m_Hover = false;
    OLE_COLOR m_BackColor = 0;
    OLE_COLOR m_NormTextColor = 0;
    OLE_COLOR m_HoverTextColor = 0;
    bool m_NormUnderline = false;
    bool m_HoverUnderline = false;
    Ref<StdFont> m_Font;
    std::wstring m_Caption;
    std::wstring m_URL;
    bool m_Enabled = true;

    // The control's own drawing font and text colour: a copy of m_Font whose
    // underline follows the hover state, so the shared font is never changed.
    Ref<StdFont> m_DrawFont;
    OLE_COLOR m_ForeColor = kSysColorBtnText;
    bool m_Pressed = false;
    int m_Dpi = 96;
    ControlAmbient m_Ambient;
    HWND m_hWnd = nullptr;
};

// Hand cursor of the link label (the program's resource, or the system's
// hand when the resource is missing). Shared, never destroyed.
HCURSOR LinkCursor();
