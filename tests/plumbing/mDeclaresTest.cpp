#include "plumbing/mDeclares.h"
#include "tests/support/InputInjection.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

class FakeEngine : public INCEngine {
public:
    explicit FakeEngine(bool active, int answer = 1) : active(active), answer(answer) {}
    bool WindowActive() const override { return active; }
    int HandleAltKey(int vKey) override {
        keys.push_back(vKey);
        return answer;
    }
    bool active;
    int answer;
    std::vector<int> keys;
};

class FakeTracker : public IMenuFilterClient {
public:
    void MenuInput(const MSG& msg, bool& handled) override {
        seen.push_back(msg);
        handled = swallow && swallow(msg);
    }
    std::function<bool(const MSG&)> swallow;
    std::vector<MSG> seen;
};

constexpr LPARAM kAlt = 1 << 29;
constexpr LPARAM kUp = static_cast<LPARAM>(0x80000000u);

class Hooks : public testing::Test {
protected:
    void TearDown() override {
        for (const auto& e : engines_) mDeclares::UnregisterEngine(e.get());
        mDeclares::StopMenuFilter();
    }
    Ref<FakeEngine> Engine(bool active, int answer = 1) {
        engines_.push_back(MakeRef<FakeEngine>(active, answer));
        return engines_.back();
    }
    std::vector<Ref<FakeEngine>> engines_;
};

using testinput::Key;

}  // namespace

TEST_F(Hooks, KeyboardHookExistsExactlyWhileAnEngineIsRegistered) {
    const Ref<FakeEngine> a = Engine(true), b = Engine(false);
    EXPECT_FALSE(mDeclares::KeyboardHookInstalled());
    mDeclares::RegisterEngine(a.get());
    mDeclares::RegisterEngine(a.get());  // once only
    mDeclares::RegisterEngine(b.get());
    EXPECT_TRUE(mDeclares::KeyboardHookInstalled());
    EXPECT_EQ(mDeclares::EngineCount(), 2);
    EXPECT_EQ(mDeclares::FindEngine(a.get()), 1);
    EXPECT_EQ(mDeclares::FindEngine(b.get()), 2);

    mDeclares::UnregisterEngine(a.get());
    EXPECT_EQ(mDeclares::FindEngine(b.get()), 1);
    EXPECT_EQ(mDeclares::FindEngine(a.get()), 0);
    mDeclares::UnregisterEngine(a.get());  // not registered: list still holds b
    EXPECT_TRUE(mDeclares::KeyboardHookInstalled());
    mDeclares::UnregisterEngine(b.get());
    EXPECT_FALSE(mDeclares::KeyboardHookInstalled());
    EXPECT_EQ(mDeclares::EngineCount(), 0);
    mDeclares::UnregisterEngine(b.get());  // empty list: still no hook, no harm
    EXPECT_FALSE(mDeclares::KeyboardHookInstalled());
}

TEST_F(Hooks, AltKeyFilterOffersOnlyAltKeyDownsWithoutSystemMeaning) {
    const Ref<FakeEngine> e = Engine(true);
    mDeclares::RegisterEngine(e.get());
    const struct {
        const char* what;
        int code;
        WPARAM key;
        LPARAM flags;
        bool offered;
    } cases[] = {
        {"Alt+F down", HC_ACTION, 'F', kAlt, true},
        {"Alt+1 down", HC_ACTION, '1', kAlt | 1, true},
        {"Alt+F up", HC_ACTION, 'F', kAlt | kUp, false},
        {"F without Alt", HC_ACTION, 'F', 0, false},
        {"Alt alone", HC_ACTION, VK_MENU, kAlt, false},
        {"key 0", HC_ACTION, 0, kAlt, false},
        {"Alt+Esc", HC_ACTION, VK_ESCAPE, kAlt, false},
        {"Alt+Delete", HC_ACTION, VK_DELETE, kAlt, false},
        {"not HC_ACTION", HC_NOREMOVE, 'F', kAlt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        e->keys.clear();
        const LRESULT r = mDeclares::KeyboardHookProc(c.code, c.key, c.flags);
        EXPECT_EQ(e->keys, c.offered ? std::vector<int>{static_cast<int>(c.key)} : std::vector<int>{});
        EXPECT_EQ(r, c.offered ? 1 : 0);
    }
    for (WPARAM f = VK_F1; f <= VK_F12; ++f) {
        e->keys.clear();
        mDeclares::KeyboardHookProc(HC_ACTION, f, kAlt);
        EXPECT_TRUE(e->keys.empty()) << "F" << (f - VK_F1 + 1);
    }
    // An engine that declines lets the key pass on.
    e->answer = 0;
    e->keys.clear();
    EXPECT_EQ(mDeclares::KeyboardHookProc(HC_ACTION, 'F', kAlt), 0);
    EXPECT_EQ(e->keys, std::vector<int>{'F'});
}

TEST_F(Hooks, CtrlHeldKeepsTheKeyFromTheEngine) {
    const Ref<FakeEngine> e = Engine(true);
    mDeclares::RegisterEngine(e.get());
    Key(VK_CONTROL, false);
    testsupport::PumpMessages();
    const bool ctrlDown = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    e->keys.clear();
    mDeclares::KeyboardHookProc(HC_ACTION, 'F', kAlt);
    Key(VK_CONTROL, true);
    testsupport::PumpMessages();
    ASSERT_TRUE(ctrlDown);
    EXPECT_TRUE(e->keys.empty());
    // Released again: the key is offered.
    mDeclares::KeyboardHookProc(HC_ACTION, 'F', kAlt);
    EXPECT_EQ(e->keys, std::vector<int>{'F'});
}

TEST_F(Hooks, OnlyTheActiveWindowsEngineIsAsked) {
    const Ref<FakeEngine> a = Engine(false), b = Engine(true);
    mDeclares::RegisterEngine(a.get());
    mDeclares::RegisterEngine(b.get());
    Ref<INCEngine> found;
    ASSERT_TRUE(mDeclares::FindActiveEngine(found));
    EXPECT_EQ(found.get(), static_cast<INCEngine*>(b.get()));
    EXPECT_EQ(mDeclares::KeyboardHookProc(HC_ACTION, 'E', kAlt), 1);
    EXPECT_TRUE(a->keys.empty());
    EXPECT_EQ(b->keys, std::vector<int>{'E'});

    b->active = false;
    b->keys.clear();
    EXPECT_FALSE(mDeclares::FindActiveEngine(found));
    EXPECT_EQ(mDeclares::KeyboardHookProc(HC_ACTION, 'E', kAlt), 0);
    EXPECT_TRUE(a->keys.empty());
    EXPECT_TRUE(b->keys.empty());
}

TEST_F(Hooks, FailuresInsideTheHooksPassTheInputOn) {
    class ThrowingEngine : public INCEngine {
    public:
        bool WindowActive() const override { return true; }
        int HandleAltKey(int) override { throw std::runtime_error("engine failed"); }
    };
    class ThrowingTracker : public IMenuFilterClient {
    public:
        void MenuInput(const MSG&, bool& handled) override {
            handled = true;
            throw std::runtime_error("tracker failed");
        }
    };
    const Ref<ThrowingEngine> e = MakeRef<ThrowingEngine>();
    mDeclares::RegisterEngine(e.get());
    EXPECT_EQ(mDeclares::KeyboardHookProc(HC_ACTION, 'F', kAlt), 0);
    mDeclares::UnregisterEngine(e.get());

    const Ref<ThrowingTracker> t = MakeRef<ThrowingTracker>();
    mDeclares::StartMenuFilter(t.get());
    MSG msg{};
    EXPECT_EQ(mDeclares::MenuFilterHookProc(MSGF_MENU, 0, reinterpret_cast<LPARAM>(&msg)), 0);
    mDeclares::StopMenuFilter();
    mDeclares::ForgetMenuTracker(t.get());
}

namespace {
std::vector<WPARAM> g_sysKeys;
LRESULT CALLBACK KeyWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN) g_sysKeys.push_back(wParam);
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}
}  // namespace

TEST_F(Hooks, RealAltKeyPressReachesTheEngineAndIsSwallowed) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = KeyWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlumbingKeyTest";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(wc.lpszClassName, L"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(w);
    SetFocus(w);
    testsupport::PumpFor(100);

    const struct {
        int answer;
        bool reachesWindow;
    } cases[] = {{1, false}, {0, true}};
    for (const auto& c : cases) {
        const Ref<FakeEngine> e = Engine(true, c.answer);
        mDeclares::RegisterEngine(e.get());
        g_sysKeys.clear();
        Key(VK_MENU, false);
        Key('F', false);
        Key('F', true);
        Key(VK_MENU, true);
        testsupport::PumpFor(200);
        EXPECT_EQ(e->keys, std::vector<int>{'F'}) << "answer " << c.answer;
        const bool reached = std::find(g_sysKeys.begin(), g_sysKeys.end(), WPARAM('F')) != g_sysKeys.end();
        EXPECT_EQ(reached, c.reachesWindow) << "answer " << c.answer;
        mDeclares::UnregisterEngine(e.get());
    }
    DestroyWindow(w);
}

TEST_F(Hooks, MenuFilterPassesUnhandledMessagesAndSwallowsHandledOnes) {
    const Ref<FakeTracker> t = MakeRef<FakeTracker>();
    t->swallow = [](const MSG& m) { return m.message == WM_KEYDOWN; };
    mDeclares::StartMenuFilter(t.get());
    EXPECT_TRUE(mDeclares::MenuFilterInstalled());

    MSG key{reinterpret_cast<HWND>(0x1234), WM_KEYDOWN, VK_RIGHT, 0x14D0001, 777, {5, 6}};
    MSG move{nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4), 778, {3, 4}};
    EXPECT_EQ(mDeclares::MenuFilterHookProc(MSGF_MENU, 0, reinterpret_cast<LPARAM>(&key)), 1);
    EXPECT_EQ(mDeclares::MenuFilterHookProc(MSGF_MENU, 0, reinterpret_cast<LPARAM>(&move)), 0);
    EXPECT_EQ(mDeclares::MenuFilterHookProc(MSGF_DIALOGBOX, 0, reinterpret_cast<LPARAM>(&key)), 0);
    ASSERT_EQ(t->seen.size(), 2u);
    EXPECT_EQ(t->seen[0].hwnd, key.hwnd);
    EXPECT_EQ(t->seen[0].wParam, key.wParam);
    EXPECT_EQ(t->seen[0].lParam, key.lParam);
    EXPECT_EQ(t->seen[0].time, key.time);
    EXPECT_EQ(t->seen[0].pt.y, 6);
    EXPECT_EQ(t->seen[1].message, static_cast<UINT>(WM_MOUSEMOVE));

    mDeclares::StopMenuFilter();
    EXPECT_FALSE(mDeclares::MenuFilterInstalled());
    EXPECT_EQ(mDeclares::MenuTracker(), t.get());  // remembered after the popup
    mDeclares::ForgetMenuTracker(t.get());
    EXPECT_EQ(mDeclares::MenuTracker(), nullptr);
}

namespace {
int g_escapesSent = 0;
int g_escapesSeen = 0;
int g_ticks = 0;
// One Escape at a time: the next only once the menu loop has seen the last,
// however long a busy machine takes to deliver it.
void CALLBACK SendEscape(HWND, UINT, UINT_PTR, DWORD) {
    if (++g_ticks > 100) {
        EndMenu();  // 15 s without an answer: never hang the test run
        return;
    }
    if (g_escapesSeen < g_escapesSent) return;
    ++g_escapesSent;
    Key(VK_ESCAPE, false);
    Key(VK_ESCAPE, true);
}
}  // namespace

TEST_F(Hooks, MenuFilterSeesARealMenuLoopAndCanKeepThePopupOpen) {
    HWND owner = CreateWindowW(L"STATIC", L"menu owner", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    // Injected keys go to the foreground window's thread.
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        if (GetForegroundWindow() != owner) SetForegroundWindow(owner);
        return GetForegroundWindow() == owner;
    }));
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"One");
    AppendMenuW(menu, MF_STRING, 2, L"Two");

    // The first Escape is swallowed, so only the second closes the popup.
    const Ref<FakeTracker> t = MakeRef<FakeTracker>();
    t->swallow = [&](const MSG& m) {
        return m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE && ++g_escapesSeen == 1;
    };
    g_escapesSent = g_escapesSeen = g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, &SendEscape);
    mDeclares::StartMenuFilter(t.get());
    TrackPopupMenuEx(menu, TPM_RETURNCMD, 60, 60, owner, nullptr);
    mDeclares::StopMenuFilter();
    KillTimer(nullptr, timer);

    EXPECT_FALSE(t->seen.empty());
    EXPECT_EQ(g_escapesSeen, 2);
    EXPECT_EQ(g_escapesSent, 2);
    DestroyMenu(menu);
    DestroyWindow(owner);
    mDeclares::ForgetMenuTracker(t.get());
}
