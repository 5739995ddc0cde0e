#pragma once
// An MSAA object (IAccessible) for a part of a window the program draws
// itself: one element and its simple children, numbered 1..ChildCount(), as
// a screen reader or UI Automation's MSAA proxy reads them. A derived object
// describes the elements; this class answers the interface from those
// descriptions. Once the part is gone (Connected() false) every call fails
// with RPC_E_DISCONNECTED, however long a client keeps the object.
// Created with one reference owned by the creator (a plain COM object: its
// clients are the system's, not the program's intrusive counting).
#include <windows.h>
#include <oleacc.h>

#include <string>

struct AccessibleElement {
    long role = 0;
    std::wstring name;
    long state = 0;
    std::wstring shortcut;       // the keys that reach it; empty when none
    std::wstring defaultAction;  // what DoDefaultAction does; empty when none
    RECT screen{};               // where it is, in screen coordinates
};

class AccessibleElements : public IAccessible, public IOleWindow {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the object is reached through IAccessible only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    // IOleWindow: the window the object belongs to.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;

protected:
    explicit AccessibleElements(HWND window) noexcept : window_(window) {}
    virtual ~AccessibleElements() = default;

    // The hooks run only while Connected() holds.
    virtual bool Connected() const = 0;
    virtual long ChildCount() const = 0;
    // child 0 (CHILDID_SELF) is the object itself.
    virtual AccessibleElement Describe(long child) const = 0;
    // The child at a screen point, CHILDID_SELF inside the object elsewhere,
    // -1 outside it.
    virtual long HitTest(POINT screen) const = 0;
    // The child that has the keyboard's attention; -1 when none does.
    virtual long Focused() const { return -1; }
    // Starts the default action without waiting for it; false when the
    // element has none.
    virtual bool DoDefaultAction(long child) = 0;

    HWND Window() const noexcept { return window_; }

private:
    template <class F>
    HRESULT Answer(F&& work) noexcept;
    // child as a valid id (0..ChildCount()); false for anything else.
    bool ChildId(const VARIANT& child, long& id) const;

    HWND window_;
    LONG refs_ = 1;
};
