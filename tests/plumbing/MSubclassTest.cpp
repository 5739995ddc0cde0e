#include "plumbing/GSubclass.h"
#include "plumbing/MSubclass.h"
#include "plumbing/PlumbingError.h"
#include "plumbing/SubclassNames.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> g_log;

// The window's own procedure: logs "prev" and answers 7000 + n for WM_APP + n.
LRESULT CALLBACK OwnProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP && msg < WM_APP + 100) {
        g_log.push_back("prev");
        return 7000 + (msg - WM_APP);
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

class TestWindow {
public:
    TestWindow() {
        static const ATOM cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = OwnProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"PlumbingSubclassTest";
            return RegisterClassW(&wc);
        }();
        hWnd_ = CreateWindowW(MAKEINTATOM(cls), L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(hWnd_); }
    HWND get() const { return hWnd_; }
    std::int32_t key() const { return HandleKey(reinterpret_cast<std::uintptr_t>(hWnd_)); }

private:
    HWND hWnd_;
};

class Client : public ISubclass {
public:
    Client(std::string name, MsgResponseMode mode, LRESULT result)
        : name_(std::move(name)), mode_(mode), result_(result) {}
    MsgResponseMode MsgResponse() const override { return mode_; }
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override {
        g_log.push_back(name_);
        seen = GSubclass::CurrentMessage();
        if (onMessage) return onMessage(hWnd, iMsg, wParam, lParam);
        return result_;
    }
    UINT seen = 0;
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onMessage;

private:
    std::string name_;
    MsgResponseMode mode_;
    LRESULT result_;
};

// Every property of the window but Wine's own, name to value (EnumProps sees
// properties whose value is 0, which GetProp cannot tell from absent ones).
std::map<std::wstring, std::intptr_t> Props(HWND hWnd) {
    std::map<std::wstring, std::intptr_t> props;
    EnumPropsExW(
        hWnd,
        [](HWND, LPWSTR name, HANDLE value, ULONG_PTR param) -> BOOL {
            if (!IS_INTRESOURCE(name) && std::wstring_view(name).substr(0, 7) != L"__wine_") {
                (*reinterpret_cast<std::map<std::wstring, std::intptr_t>*>(param))[name] =
                    reinterpret_cast<std::intptr_t>(value);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&props));
    return props;
}

std::intptr_t Prop(HWND hWnd, const std::wstring& name) {
    return reinterpret_cast<std::intptr_t>(GetPropW(hWnd, name.c_str()));
}

std::intptr_t Ptr(const Ref<Client>& c) {
    return reinterpret_cast<std::intptr_t>(static_cast<ISubclass*>(c.get()));
}

void ExpectError(const std::function<void()>& call, std::int32_t code, const std::wstring& text) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << code;
    } catch (const PlumbingError& e) {
        EXPECT_EQ(e.Number(), static_cast<std::int32_t>(static_cast<std::uint32_t>(code) | 0x80040000u));
        EXPECT_EQ(e.Description(), text);
        EXPECT_EQ(e.Source(), L"plumbing_tests.WindowProc");
    }
}

}  // namespace

// Must run before anything dispatches in this process.
TEST(MSubclass, CurrentMessageIsZeroBeforeAnyDispatch) {
    // Asked in a process of its own: what earlier tests dispatched stays
    // current in this one, by design.
    EXPECT_EXIT(
        {
            const bool fresh =
                GSubclass::CurrentMessage() == 0 && GSubclass::CallOldWindowProc(nullptr, WM_APP, 0, 0) == 0;
            std::exit(fresh ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(MSubclass, AnswersCombineWithThePreviousProcedure) {
    const struct {
        const char* what;
        std::vector<MsgResponseMode> modes;  // one client per entry, results 101, 102, ...
        std::vector<std::string> log;
        LRESULT result;
    } cases[] = {
        {"one consuming", {mrConsume}, {"c1"}, 101},
        {"one previous-after", {mrPreviousAfter}, {"c1", "prev"}, 7001},
        {"one previous-first", {mrPreviousFirst}, {"prev", "c1"}, 101},
        {"two consuming, attachment order", {mrConsume, mrConsume}, {"c1", "c2"}, 102},
        {"last answers 1", {mrConsume, mrPreviousAfter}, {"c1", "c2", "prev"}, 7001},
        {"first answers 2, second 0", {mrPreviousFirst, mrConsume}, {"prev", "c1", "c2"}, 102},
        {"1 from a first client is ignored", {mrPreviousAfter, mrConsume}, {"c1", "c2"}, 102},
        {"2 from a later client is ignored", {mrConsume, mrPreviousFirst}, {"c1", "c2"}, 102},
        {"previous runs once: 2 then 1", {mrPreviousFirst, mrPreviousAfter}, {"prev", "c1", "c2"}, 102},
        {"three, middle answers 1", {mrConsume, mrPreviousAfter, mrConsume}, {"c1", "c2", "c3"}, 103},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow w;
        std::vector<Ref<Client>> clients;
        for (size_t i = 0; i < c.modes.size(); ++i) {
            std::string name = "c";
            name += std::to_string(i + 1);  // not "c" + ...: GCC 12 warns falsely on that
            clients.push_back(MakeRef<Client>(name, c.modes[i], 101 + i));
            GSubclass::AttachMessage(clients.back().get(), w.get(), WM_APP + 1);
        }
        g_log.clear();
        EXPECT_EQ(SendMessageW(w.get(), WM_APP + 1, 0, 0), c.result);
        EXPECT_EQ(g_log, c.log);
        for (const auto& client : clients) {
            EXPECT_EQ(client->seen, WM_APP + 1u);
            GSubclass::DetachMessage(client.get(), w.get(), WM_APP + 1);
        }
    }
}

TEST(MSubclass, UnattachedMessagesPassThroughWithTheirResult) {
    TestWindow w;
    const Ref<Client> c = MakeRef<Client>("c1", mrConsume, 1);
    GSubclass::AttachMessage(c.get(), w.get(), WM_APP + 1);
    g_log.clear();
    EXPECT_EQ(SendMessageW(w.get(), WM_APP + 2, 0, 0), 7002);
    EXPECT_EQ(g_log, std::vector<std::string>{"prev"});
    GSubclass::DetachMessage(c.get(), w.get(), WM_APP + 1);
}

TEST(MSubclass, RegistryPropertiesFollowAttachAndDetach) {
    TestWindow w;
    const HWND h = w.get();
    const LONG_PTR own = GetWindowLongPtrW(h, GWLP_WNDPROC);
    const Ref<Client> c1 = MakeRef<Client>("c1", mrConsume, 1);
    const Ref<Client> c2 = MakeRef<Client>("c2", mrConsume, 2);
    const Ref<Client> c3 = MakeRef<Client>("c3", mrConsume, 3);
    const std::int32_t m = WM_APP + 1;
    for (const auto& c : {c1, c2, c3}) GSubclass::AttachMessage(c.get(), h, m);
    GSubclass::AttachMessage(c1.get(), h, WM_APP + 2);

    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&MSubclass::SubclassDispatchProc));
    EXPECT_EQ(Props(h), (std::map<std::wstring, std::intptr_t>{
                            {OldProcPropName(w.key()), own},
                            {AttachCountPropName(w.key()), 4},
                            {MessageCountPropName(w.key(), m), 3},
                            {ClientSlotPropName(w.key(), m, 1), Ptr(c1)},
                            {ClientSlotPropName(w.key(), m, 2), Ptr(c2)},
                            {ClientSlotPropName(w.key(), m, 3), Ptr(c3)},
                            {MessageCountPropName(w.key(), m + 1), 1},
                            {ClientSlotPropName(w.key(), m + 1, 1), Ptr(c1)},
                        }));

    // Detaching the first of three closes the gap and keeps the order.
    GSubclass::DetachMessage(c1.get(), h, m);
    EXPECT_EQ(Prop(h, MessageCountPropName(w.key(), m)), 2);
    EXPECT_EQ(Prop(h, ClientSlotPropName(w.key(), m, 1)), Ptr(c2));
    EXPECT_EQ(Prop(h, ClientSlotPropName(w.key(), m, 2)), Ptr(c3));
    EXPECT_EQ(Props(h).count(ClientSlotPropName(w.key(), m, 3)), 0u);
    EXPECT_EQ(Prop(h, AttachCountPropName(w.key())), 3);
    g_log.clear();
    EXPECT_EQ(SendMessageW(h, m, 0, 0), 3);
    EXPECT_EQ(g_log, (std::vector<std::string>{"c2", "c3"}));

    GSubclass::DetachMessage(c3.get(), h, m);
    GSubclass::DetachMessage(c1.get(), h, m + 1);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&MSubclass::SubclassDispatchProc));
    GSubclass::DetachMessage(c2.get(), h, m);

    // The last detachment restores the procedure; only the zeroed counts stay.
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), own);
    EXPECT_EQ(Props(h), (std::map<std::wstring, std::intptr_t>{
                            {MessageCountPropName(w.key(), m), 0},
                            {MessageCountPropName(w.key(), m + 1), 0},
                        }));
    g_log.clear();
    EXPECT_EQ(SendMessageW(h, m, 0, 0), 7001);
    EXPECT_EQ(g_log, std::vector<std::string>{"prev"});
}

TEST(MSubclass, DetachingAPairThatIsNotAttachedChangesNothing) {
    TestWindow w;
    const Ref<Client> c1 = MakeRef<Client>("c1", mrConsume, 1);
    const Ref<Client> stranger = MakeRef<Client>("x", mrConsume, 9);
    GSubclass::AttachMessage(c1.get(), w.get(), WM_APP + 1);
    const auto before = Props(w.get());
    GSubclass::DetachMessage(stranger.get(), w.get(), WM_APP + 1);
    GSubclass::DetachMessage(c1.get(), w.get(), WM_APP + 2);
    EXPECT_EQ(Props(w.get()), before);
    EXPECT_EQ(SendMessageW(w.get(), WM_APP + 1, 0, 0), 1);
    GSubclass::DetachMessage(c1.get(), w.get(), WM_APP + 1);
}

TEST(MSubclass, SecondAttachOfTheSameClientIsRefusedAndCountsNothing) {
    TestWindow w;
    const Ref<Client> c1 = MakeRef<Client>("c1", mrConsume, 1);
    GSubclass::AttachMessage(c1.get(), w.get(), WM_APP + 1);
    const auto before = Props(w.get());
    ExpectError([&] { GSubclass::AttachMessage(c1.get(), w.get(), WM_APP + 1); }, 13082,
                L"Message already handled by another class");
    EXPECT_EQ(Props(w.get()), before);
    GSubclass::DetachMessage(c1.get(), w.get(), WM_APP + 1);
    EXPECT_EQ(Props(w.get()).count(AttachCountPropName(w.key())), 0u);
}

TEST(MSubclass, NonWindowIsRefusedBeforeTheProcessTest) {
    const Ref<Client> c1 = MakeRef<Client>("c1", mrConsume, 1);
    HWND gone;
    {
        TestWindow w;
        gone = w.get();
    }
    for (HWND h : {HWND(nullptr), gone, reinterpret_cast<HWND>(0x7654321)}) {
        ExpectError([&] { GSubclass::AttachMessage(c1.get(), h, WM_APP + 1); }, 13083, L"Invalid window");
    }
}

TEST(MSubclass, WindowOfAnotherProcessIsRefusedAndLeftUntouched) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring helper = (std::filesystem::path(exe).parent_path() / L"plumbing_foreign_window.exe").wstring();
    const std::wstring title = L"TarvoloForeign" + std::to_wstring(GetCurrentProcessId());
    std::wstring cmd = L"\"" + helper + L"\" " + title;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(helper.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND foreign = nullptr;
    testsupport::WaitFor([&] { return (foreign = FindWindowW(L"TarvoloForeignWindow", title.c_str())) != nullptr; },
                         10000);
    ASSERT_NE(foreign, nullptr);
    const LONG_PTR own = GetWindowLongPtrW(foreign, GWLP_WNDPROC);

    const Ref<Client> c1 = MakeRef<Client>("c1", mrConsume, 1);
    ExpectError([&] { GSubclass::AttachMessage(c1.get(), foreign, WM_APP + 1); }, 13084,
                L"Can't modify external window");
    EXPECT_TRUE(Props(foreign).empty());
    EXPECT_EQ(GetWindowLongPtrW(foreign, GWLP_WNDPROC), own);

    PostMessageW(foreign, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST(MSubclass, NestedDispatchOverwritesTheCurrentValues) {
    TestWindow outer, inner;
    const Ref<Client> innerClient = MakeRef<Client>("inner", mrConsume, 5);
    const Ref<Client> outerClient = MakeRef<Client>("outer", mrConsume, 0);
    UINT afterNested = 0;
    LRESULT oldResult = 0;
    outerClient->onMessage = [&](HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        EXPECT_EQ(GSubclass::CurrentMessage(), WM_APP + 1u);
        SendMessageW(inner.get(), WM_APP + 3, 0, 0);
        afterNested = GSubclass::CurrentMessage();
        // Both windows share one own procedure, so the old procedure still
        // reaches it; the message number is the caller's.
        oldResult = GSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
        return 0;
    };
    GSubclass::AttachMessage(outerClient.get(), outer.get(), WM_APP + 1);
    GSubclass::AttachMessage(innerClient.get(), inner.get(), WM_APP + 3);
    g_log.clear();
    SendMessageW(outer.get(), WM_APP + 1, 0, 0);
    EXPECT_EQ(afterNested, WM_APP + 3u);
    EXPECT_EQ(oldResult, 7001);
    EXPECT_EQ(g_log, (std::vector<std::string>{"outer", "inner", "prev"}));
    GSubclass::DetachMessage(outerClient.get(), outer.get(), WM_APP + 1);
    GSubclass::DetachMessage(innerClient.get(), inner.get(), WM_APP + 3);
}

TEST(MSubclass, ClientMayDetachWhileHandlingDestroy) {
    // The clients of this program detach at WM_DESTROY at the latest.
    auto w = std::make_unique<TestWindow>();
    const HWND h = w->get();
    const Ref<Client> c1 = MakeRef<Client>("c1", mrPreviousAfter, 0);
    c1->onMessage = [&](HWND hWnd, UINT iMsg, WPARAM, LPARAM) -> LRESULT {
        GSubclass::DetachMessage(c1.get(), hWnd, iMsg);
        return 0;
    };
    GSubclass::AttachMessage(c1.get(), h, WM_DESTROY);
    g_log.clear();
    w.reset();
    EXPECT_EQ(g_log, std::vector<std::string>{"c1"});
    EXPECT_FALSE(IsWindow(h));
}

TEST(MSubclass, DispatchFollowsEveryChangeOfTheRegistry) {
    // Dispatch keeps what it read of the registry between messages; each of
    // these changes must still reach the next message, or this one.
    TestWindow w;
    const Ref<Client> a = MakeRef<Client>("a", mrConsume, 1);
    const Ref<Client> b = MakeRef<Client>("b", mrConsume, 2);
    GSubclass::AttachMessage(a.get(), w.get(), WM_APP + 1);
    const auto send = [&] {
        g_log.clear();
        return SendMessageW(w.get(), WM_APP + 1, 0, 0);
    };
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(send(), 1);

    // Attached from another thread of the process.
    std::thread([&] { GSubclass::AttachMessage(b.get(), w.get(), WM_APP + 1); }).join();
    EXPECT_EQ(send(), 2);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a", "b"}));

    // Detached by the first client while it handles the message: the emptied
    // slot passes the message on.
    a->onMessage = [&](HWND hWnd, UINT iMsg, WPARAM, LPARAM) -> LRESULT {
        GSubclass::DetachMessage(b.get(), hWnd, iMsg);
        return 1;
    };
    EXPECT_EQ(send(), 7001);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a", "prev"}));
    a->onMessage = nullptr;
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(g_log, std::vector<std::string>{"a"});

    // Unsubclassed and subclassed again: the procedure read then is the one
    // used, and a message attached to nothing passes through.
    GSubclass::DetachMessage(a.get(), w.get(), WM_APP + 1);
    EXPECT_EQ(send(), 7001);
    GSubclass::AttachMessage(b.get(), w.get(), WM_APP + 1);
    EXPECT_EQ(send(), 2);
    EXPECT_EQ(SendMessageW(w.get(), WM_APP + 3, 0, 0), 7003);
    GSubclass::DetachMessage(b.get(), w.get(), WM_APP + 1);
}
