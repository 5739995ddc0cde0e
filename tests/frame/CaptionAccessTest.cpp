// The skinned caption for screen readers (the OBJID_MENU and OBJID_TITLEBAR
// objects, read in-process as Wine allows) and for the keyboard (F10, a lone
// Alt), with the menu events both raise.
#include "frame/cCaptionAccess.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "frame/CaptionAccessible.h"
#include "plumbing/ComRef.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/frame/cOrvaneTestFixture.h"

using namespace captiontest;
using menubartest::AltTap;
using menubartest::Click;
using menubartest::InputScript;
using menubartest::Tap;

namespace {

ComRef<IAccessible> ObjectOf(HWND hwnd, LONG id) {
    const LRESULT answer = SendMessageW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(id)));
    ComRef<IAccessible> object;
    if (answer > 0) ObjectFromLresult(answer, __uuidof(IAccessible), 0, object.put_void());
    return object;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Text(HRESULT (IAccessible::*get)(VARIANT, BSTR*), IAccessible* object, long child) {
    BSTR text = nullptr;
    (object->*get)(Child(child), &text);
    std::wstring out = text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return out;
}

long Number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, long child) {
    VARIANT v;
    VariantInit(&v);
    (object->*get)(Child(child), &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}

RECT Location(IAccessible* object, long child) {
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, Child(child));
    return RECT{x, y, x + w, y + h};
}

// The menu events of one window, as a screen reader hears them.
struct Event {
    DWORD event;
    long child;
    bool operator==(const Event&) const = default;
};
void PrintTo(const Event& e, std::ostream* os) {
    *os << (e.event == EVENT_SYSTEM_MENUSTART ? "start" : e.event == EVENT_SYSTEM_MENUEND ? "end" : "focus ")
        << (e.event == EVENT_OBJECT_FOCUS ? std::to_string(e.child) : "");
}
std::vector<Event>* g_events = nullptr;
HWND g_eventWindow = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (g_events && hwnd == g_eventWindow && object == OBJID_MENU) g_events->push_back({event, child});
}

class MenuEvents {
public:
    explicit MenuEvents(HWND window)
        : hook_(SetWinEventHook(EVENT_SYSTEM_MENUSTART, EVENT_OBJECT_FOCUS, nullptr, OnEvent, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT)) {
        g_events = &events;
        g_eventWindow = window;
    }
    ~MenuEvents() {
        UnhookWinEvent(hook_);
        g_events = nullptr;
        g_eventWindow = nullptr;
    }
    std::vector<Event> events;

private:
    HWINEVENTHOOK hook_;
};

constexpr Event Start{EVENT_SYSTEM_MENUSTART, CHILDID_SELF};
constexpr Event End{EVENT_SYSTEM_MENUEND, CHILDID_SELF};
constexpr Event Focus(long k) { return Event{EVENT_OBJECT_FOCUS, k}; }

bool PopupShown() {
    const HWND popup = FindWindowW(L"#32768", nullptr);
    return popup && IsWindowVisible(popup);
}

cMenuBar& Bar(SkinnedWindow& w) { return cOrvaneTestPeer::Bar(w.painter()); }

}  // namespace

TEST(CaptionAccess, TheMenuBarObjectNamesItsItemsAsShownWithTheirKeysAndPlaces) {
    SkinnedWindow w(400, 300);
    // The program's own kind of item: Chinese text with the mnemonic in brackets.
    HMENU help = GetSubMenu(w.menu(), 1);
    ModifyMenuW(w.menu(), 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"帮助(&H)");
    w.Paint();
    ASSERT_EQ(Bar(w).ItemCount(), 2);
    const ComRef<IAccessible> bar = ObjectOf(w.hwnd(), OBJID_MENU);
    ASSERT_TRUE(bar);

    long count = 0;
    EXPECT_EQ(bar->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Number(&IAccessible::get_accRole, bar.get(), CHILDID_SELF), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(Text(&IAccessible::get_accName, bar.get(), CHILDID_SELF), kMenuBarName);
    const struct {
        long child;
        const wchar_t* name;
        const wchar_t* shortcut;
    } items[] = {{1, L"File", L"Alt+F"}, {2, L"帮助(H)", L"Alt+H"}};
    for (const auto& item : items) {
        SCOPED_TRACE(item.child);
        EXPECT_EQ(Text(&IAccessible::get_accName, bar.get(), item.child), item.name);
        EXPECT_EQ(Number(&IAccessible::get_accRole, bar.get(), item.child), ROLE_SYSTEM_MENUITEM);
        EXPECT_EQ(Text(&IAccessible::get_accKeyboardShortcut, bar.get(), item.child), item.shortcut);
        EXPECT_EQ(Text(&IAccessible::get_accDefaultAction, bar.get(), item.child), kOpenAction);
        EXPECT_TRUE(Number(&IAccessible::get_accState, bar.get(), item.child) & STATE_SYSTEM_HASPOPUP);
        RECT expected{};
        Bar(w).ItemScreenRect(static_cast<int>(item.child), expected);
        const RECT location = Location(bar.get(), item.child);
        EXPECT_TRUE(EqualRect(&location, &expected));
        EXPECT_FALSE(IsRectEmpty(&location));
        VARIANT hit;
        const POINT centre{(location.left + location.right) / 2, (location.top + location.bottom) / 2};
        EXPECT_EQ(bar->accHitTest(centre.x, centre.y, &hit), S_OK);
        EXPECT_EQ(hit.vt, VT_I4);
        EXPECT_EQ(hit.lVal, item.child);
    }
    // The items lie side by side in the bar, inside the caption band.
    const RECT band = Location(bar.get(), CHILDID_SELF);
    const RECT first = Location(bar.get(), 1), second = Location(bar.get(), 2);
    EXPECT_LT(first.right, second.left + 1);
    RECT both{};
    UnionRect(&both, &first, &second);
    RECT inside{};
    EXPECT_TRUE(IntersectRect(&inside, &band, &both) && EqualRect(&inside, &both));

    VARIANT v;
    EXPECT_EQ(bar->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &v), S_OK);
    EXPECT_EQ(v.lVal, 1);
    EXPECT_EQ(bar->accNavigate(NAVDIR_NEXT, Child(2), &v), S_FALSE);
    BSTR none = nullptr;
    EXPECT_EQ(bar->get_accName(Child(3), &none), E_INVALIDARG);
    ComRef<IOleWindow> window;
    ASSERT_EQ(bar->QueryInterface(__uuidof(IOleWindow), window.put_void()), S_OK);
    HWND owner = nullptr;
    window->GetWindow(&owner);
    EXPECT_EQ(owner, w.hwnd());
    // Other objects stay the system's.
    EXPECT_LE(SendMessageW(w.hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT))), 0);
}

TEST(CaptionAccess, TheDefaultActionOpensThePopupAndTheMenuEventsCome) {
    SkinnedWindow w(400, 300);
    w.Paint();
    const ComRef<IAccessible> bar = ObjectOf(w.hwnd(), OBJID_MENU);
    ASSERT_TRUE(bar);
    MenuEvents heard(w.hwnd());
    static bool shown;
    shown = false;
    // Posted: the call returns before the popup's menu loop runs.
    ASSERT_EQ(bar->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_FALSE(Bar(w).InMenuLoop());
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        shown = PopupShown();
        KillTimer(nullptr, id);
        EndMenu();
    });
    EXPECT_TRUE(testsupport::PumpUntil([&] { return heard.events.size() >= 3 && !Bar(w).InMenuLoop(); }));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(shown);
    EXPECT_EQ(heard.events, (std::vector<Event>{Start, Focus(2), End}));
    EXPECT_EQ(bar->accDoDefaultAction(Child(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
}

TEST(CaptionAccess, TheTitleBarObjectNamesTheCaptionButtonsAndTheirStates) {
    SkinnedWindow w(400, 300);
    w.Paint();
    ComRef<IAccessible> title = ObjectOf(w.hwnd(), OBJID_TITLEBAR);
    ASSERT_TRUE(title);
    long count = 0;
    title->get_accChildCount(&count);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(Number(&IAccessible::get_accRole, title.get(), CHILDID_SELF), ROLE_SYSTEM_TITLEBAR);
    EXPECT_EQ(Text(&IAccessible::get_accName, title.get(), CHILDID_SELF), L" TarvoloV1.2");
    RECT window{};
    GetWindowRect(w.hwnd(), &window);
    const struct {
        long child;
        const wchar_t* name;
        int button;  // CaptionLayout index; -1 = no such button on this caption
    } buttons[] = {{1, L"输入法", -1}, {2, kMinimizeName, CaptionLayout::kMinimize},
                   {3, kMaximizeName, CaptionLayout::kMaximize}, {4, L"帮助", -1},
                   {5, kCloseName, CaptionLayout::kClose}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.child);
        EXPECT_EQ(Text(&IAccessible::get_accName, title.get(), b.child), b.name);
        EXPECT_EQ(Number(&IAccessible::get_accRole, title.get(), b.child), ROLE_SYSTEM_PUSHBUTTON);
        const long state = Number(&IAccessible::get_accState, title.get(), b.child);
        if (b.button < 0) {
            EXPECT_EQ(state, STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE);
            continue;
        }
        EXPECT_EQ(state, 0);
        RECT expected = cOrvaneTestPeer::Button(w.painter(), b.button);
        OffsetRect(&expected, window.left, window.top);
        const RECT location = Location(title.get(), b.child);
        EXPECT_TRUE(EqualRect(&location, &expected));
        EXPECT_EQ(Text(&IAccessible::get_accDefaultAction, title.get(), b.child), kPressAction);
    }
    // The close button's action is the caption's own: the close command, posted.
    TakeSysCommand(w.hwnd());
    EXPECT_EQ(title->accDoDefaultAction(Child(5)), S_OK);
    EXPECT_EQ(TakeSysCommand(w.hwnd()), static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(title->accDoDefaultAction(Child(1)), DISP_E_MEMBERNOTFOUND);

    ShowWindow(w.hwnd(), SW_MAXIMIZE);
    testsupport::PumpMessages();
    w.Paint();
    EXPECT_EQ(Text(&IAccessible::get_accName, title.get(), 3), kRestoreName);
    EXPECT_EQ(title->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_EQ(TakeSysCommand(w.hwnd()), static_cast<WPARAM>(SC_RESTORE));

    // A caption without minimize and maximize boxes has only the close button.
    SkinnedWindow plain(400, 300, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
    plain.Paint();
    title = ObjectOf(plain.hwnd(), OBJID_TITLEBAR);
    ASSERT_TRUE(title);
    EXPECT_EQ(Number(&IAccessible::get_accState, title.get(), 2), STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(Number(&IAccessible::get_accState, title.get(), 3), STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(Number(&IAccessible::get_accState, title.get(), 5), 0);
}

TEST(CaptionAccess, ObjectsHeldPastTheirFrameAnswerDisconnected) {
    ComRef<IAccessible> bar, title, detached;
    {
        SkinnedWindow w(400, 300);
        w.Paint();
        bar = ObjectOf(w.hwnd(), OBJID_MENU);
        title = ObjectOf(w.hwnd(), OBJID_TITLEBAR);
        ASSERT_TRUE(bar && title);
        // Taking the skin off cuts the objects while the window lives on.
        SkinnedWindow other(400, 300);
        other.Paint();
        detached = ObjectOf(other.hwnd(), OBJID_MENU);
        ASSERT_TRUE(detached);
        other.painter().Detach();
        long count = 0;
        EXPECT_EQ(detached->get_accChildCount(&count), RPC_E_DISCONNECTED);
        EXPECT_EQ(SendMessageW(other.hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_MENU))), 0);
    }
    for (IAccessible* object : {bar.get(), title.get(), detached.get()}) {
        long count = 0;
        EXPECT_EQ(object->get_accChildCount(&count), RPC_E_DISCONNECTED);
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(Child(1), &name), RPC_E_DISCONNECTED);
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(object->accDoDefaultAction(Child(1)), RPC_E_DISCONNECTED);
        long x, y, cx, cy;
        EXPECT_EQ(object->accLocation(&x, &y, &cx, &cy, Child(1)), RPC_E_DISCONNECTED);
    }
    bar.reset();
    title.reset();
    detached.reset();
}

TEST(CaptionAccess, F10AndALoneAltSelectTheMenuBarLikeAnyWindowsMenuBar) {
    SkinnedWindow w(420, 300);
    w.Paint();
    ASSERT_EQ(Bar(w).ItemCount(), 2);
    SetForegroundWindow(w.hwnd());
    SetFocus(w.hwnd());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == w.hwnd(); }));
    cMenuBar& bar = Bar(w);
    MenuEvents heard(w.hwnd());
    std::vector<std::string> failures;
    const auto check = [&](bool ok, const std::string& what) {
        if (!ok) failures.push_back(what);
    };
    const auto selected = [&](int k, const std::string& step) {
        check(bar.KeyboardItem() == k && bar.HoverItem() == k,
              step + ": selected " + std::to_string(bar.KeyboardItem()) + ", hot " + std::to_string(bar.HoverItem()));
    };
    const auto open = [&](int k, const std::string& step) {
        check(PopupShown() && bar.InMenuLoop() && bar.PressedItem() == k && bar.KeyboardItem() == 0,
              step + ": popup of item " + std::to_string(k) + " not open");
    };
    const auto closed = [&](const std::string& step) {
        check(!PopupShown() && !bar.InMenuLoop() && bar.KeyboardItem() == 0, step + ": menus not left");
    };
    const POINT client{200, 200};
    POINT elsewhere = client;
    ClientToScreen(w.hwnd(), &elsewhere);

    InputScript s;
    s.Add("F10", [] { Tap(VK_F10); });
    s.Add("first item", [&] { selected(1, "F10"); });
    s.Add("Right", [] { Tap(VK_RIGHT); });
    s.Add("second item", [&] { selected(2, "Right"); });
    s.Add("Right again", [] { Tap(VK_RIGHT); });
    s.Add("wrapped to the first", [&] { selected(1, "Right from the last"); });
    s.Add("Left", [] { Tap(VK_LEFT); });
    s.Add("wrapped to the last", [&] { selected(2, "Left from the first"); });
    s.Add("Esc", [] { Tap(VK_ESCAPE); });
    s.Add("left", [&] { closed("Esc"); });
    s.Add("a lone Alt", [] { Tap(VK_MENU); });
    s.Add("first item again", [&] { selected(1, "Alt"); });
    s.Add("Down", [] { Tap(VK_DOWN); });
    s.Add("first popup open", [&] { open(1, "Down"); });
    s.Shot("keyboard-popup");
    s.Add("Esc in the popup", [] { Tap(VK_ESCAPE); });
    s.Add("popup closed", [&] { closed("Esc in the popup"); });
    s.Add("F10 once more", [] { Tap(VK_F10); });
    s.Add("Right to Help", [] { Tap(VK_RIGHT); });
    s.Add("Enter", [] { Tap(VK_RETURN); });
    s.Add("second popup open", [&] { open(2, "Enter"); });
    s.Add("Esc", [] { Tap(VK_ESCAPE); });
    s.Add("F10, then the mnemonic", [] { Tap(VK_F10); });
    s.Add("H", [] { Tap('H'); });
    s.Add("Help open by its letter", [&] { open(2, "H"); });
    s.Add("Esc", [] { Tap(VK_ESCAPE); });
    s.Add("Alt pressed alone", [] { Tap(VK_MENU); });
    s.Add("a click elsewhere", [&] { Click(elsewhere); });
    s.Add("left by the click", [&] { closed("click"); });
    s.Add("Alt+F", [] { AltTap('F'); });
    s.Add("File open by Alt+F", [&] { check(PopupShown() && bar.PressedItem() == 1, "Alt+F"); });
    s.Add("Esc", [] { Tap(VK_ESCAPE); });
    s.Add("click Help", [&] {
        RECT item{};
        bar.ItemScreenRect(2, item);
        Click(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    });
    s.Add("Help open by the mouse", [&] { check(PopupShown() && bar.PressedItem() == 2, "click"); });
    s.Add("Esc", [] { Tap(VK_ESCAPE); });
    s.Add("all closed", [&] { closed("the end"); });
    ASSERT_TRUE(s.Run(30000)) << "stopped after " << (s.done.empty() ? "nothing" : s.done.back());
    for (const auto& f : failures) ADD_FAILURE() << f;

    // Each selection and each popup is one menu mode for a screen reader,
    // the popup opened from a selection inside the selection's.
    const std::vector<Event> expected{
        Start, Focus(1), Focus(2), Focus(1), Focus(2), End,  // F10, Right, Right, Left, Esc
        Start, Focus(1), Focus(1), End,                      // Alt, Down (the popup), Esc
        Start, Focus(1), Focus(2), Focus(2), End,            // F10, Right, Enter, Esc
        Start, Focus(1), Focus(2), End,                      // F10, H, Esc
        Start, Focus(1), End,                                // Alt, a click elsewhere
        Start, Focus(1), End,                                // Alt+F, Esc
        Start, Focus(2), End,                                // a click on Help, Esc
    };
    EXPECT_EQ(heard.events, expected);
}
