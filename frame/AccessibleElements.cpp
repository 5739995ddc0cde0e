#include "frame/AccessibleElements.h"

#include <new>

#include "plumbing/SystemLibrary.h"

namespace {

// A BSTR of the text, or S_FALSE with none for an empty one, as MSAA asks.
HRESULT TextAnswer(const std::wstring& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long child) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = child;
}

}  // namespace

// The system calls these methods: no exception may leave them. Memory
// running out is answered as such; the caller asks again or does without.
template <class F>
HRESULT AccessibleElements::Answer(F&& work) noexcept {
    try {
        if (!Connected()) return RPC_E_DISCONNECTED;
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

bool AccessibleElements::ChildId(const VARIANT& child, long& id) const {
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > ChildCount()) return false;
    id = child.lVal;
    return true;
}

HRESULT AccessibleElements::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *ppv = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
        *ppv = static_cast<IOleWindow*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG AccessibleElements::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG AccessibleElements::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT AccessibleElements::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleElements::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT AccessibleElements::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT AccessibleElements::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT AccessibleElements::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return Answer([&] {
        // The window's own object, which the system makes.
        using FromWindow = decltype(&::AccessibleObjectFromWindow);
        static const FromWindow fromWindow = SystemFunction<FromWindow>(L"oleacc.dll", "AccessibleObjectFromWindow");
        return fromWindow && SUCCEEDED(fromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(parent)))
                   ? S_OK
                   : S_FALSE;
    });
}

HRESULT AccessibleElements::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return Answer([&] {
        *count = ChildCount();
        return S_OK;
    });
}

HRESULT AccessibleElements::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return Answer([&] {
        long id = 0;
        if (!ChildId(child, id) || id == CHILDID_SELF) return E_INVALIDARG;
        return S_FALSE;  // a simple element: its parent answers for it
    });
}

HRESULT AccessibleElements::get_accName(VARIANT child, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? TextAnswer(Describe(id).name, name) : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::get_accValue(VARIANT, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Answer([] { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT AccessibleElements::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? S_FALSE : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    VariantInit(role);
    return Answer([&] {
        long id = 0;
        if (!ChildId(child, id)) return E_INVALIDARG;
        SetChild(role, Describe(id).role);
        return S_OK;
    });
}

HRESULT AccessibleElements::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    VariantInit(state);
    return Answer([&] {
        long id = 0;
        if (!ChildId(child, id)) return E_INVALIDARG;
        SetChild(state, Describe(id).state);
        return S_OK;
    });
}

HRESULT AccessibleElements::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? S_FALSE : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? S_FALSE : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? TextAnswer(Describe(id).shortcut, shortcut) : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::get_accFocus(VARIANT* child) {
    if (!child) return E_POINTER;
    VariantInit(child);
    return Answer([&] {
        const long focused = Focused();
        if (focused < 0) return S_FALSE;
        SetChild(child, focused);
        return S_OK;
    });
}

HRESULT AccessibleElements::get_accSelection(VARIANT* children) {
    if (!children) return E_POINTER;
    VariantInit(children);
    return Answer([] { return S_FALSE; });
}

HRESULT AccessibleElements::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    return Answer([&] {
        long id = 0;
        return ChildId(child, id) ? TextAnswer(Describe(id).defaultAction, action) : E_INVALIDARG;
    });
}

HRESULT AccessibleElements::accSelect(long, VARIANT) {
    return Answer([] { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT AccessibleElements::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return Answer([&] {
        long id = 0;
        if (!ChildId(child, id)) return E_INVALIDARG;
        const RECT r = Describe(id).screen;
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    });
}

HRESULT AccessibleElements::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    VariantInit(end);
    return Answer([&] {
        long from = 0;
        if (!ChildId(start, from)) return E_INVALIDARG;
        const long count = ChildCount();
        long to = 0;
        if (from == CHILDID_SELF) {
            if (direction == NAVDIR_FIRSTCHILD) to = count >= 1 ? 1 : 0;
            if (direction == NAVDIR_LASTCHILD) to = count;
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) {
            to = from < count ? from + 1 : 0;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) {
            to = from - 1;
        }
        if (to < 1) return S_FALSE;  // nothing in that direction among these elements
        SetChild(end, to);
        return S_OK;
    });
}

HRESULT AccessibleElements::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    VariantInit(child);
    return Answer([&] {
        const long hit = HitTest(POINT{x, y});
        if (hit < 0) return S_FALSE;
        SetChild(child, hit);
        return S_OK;
    });
}

HRESULT AccessibleElements::accDoDefaultAction(VARIANT child) {
    return Answer([&] {
        long id = 0;
        if (!ChildId(child, id)) return E_INVALIDARG;
        return DoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT AccessibleElements::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT AccessibleElements::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT AccessibleElements::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT AccessibleElements::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
