// No exception crosses into the system from the program's window
// procedures, hooks and timer callbacks: a handler that fails has done
// nothing, everything keeps working, and the user is told once, by the
// message loop, that the last action did not finish.
#include <stdexcept>

#include "app/TrayIcon.h"
#include "controls/XLinkLabel.h"
#include "plumbing/CTimer.h"
#include "plumbing/CallbackGuard.h"
#include "plumbing/GSubclass.h"
#include "tests/app/AppFixture.h"
#include "tests/app/InputSupport.h"

namespace {

constexpr UINT kTrayMessage = WM_USER + 376;

LRESULT CALLBACK AnswersSeven(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kTrayMessage || msg == WM_APP + 50) return 7;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A window of the test's own whose procedure answers 7 to the messages used here.
struct PlainWindow {
    PlainWindow() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = AnswersSeven;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"FailingHandlersTestWindow";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        hwnd = CreateWindowW(L"FailingHandlersTestWindow", L"", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    }
    ~PlainWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

class ThrowingClient : public ISubclass {
public:
    MsgResponseMode MsgResponse() const override { return mrPreviousAfter; }
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { throw std::bad_alloc(); }
};

[[noreturn]] void OutOfMemory() { throw std::bad_alloc(); }

const std::wstring kTold = L"刚才的操作没有完成：内存不足。\r\n\r\n请检查列表后再试一次。";

class FailingHandlersTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        AddRow({L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"", L"", L""});
        main_->List1.Select(0);
        main_->SetLauncher({[](HWND, const std::wstring&) {}, [](const std::wstring&) { OutOfMemory(); }});
    }
    // Lets the loop handle a message, which is when the user is told.
    void NextMessage() {
        PostMessageW(main_->hWnd(), WM_NULL, 0, 0);
        PumpLoop(*main_);
    }
};

}  // namespace

TEST_F(FailingHandlersTest, EachCallbackThatFailsIsToldOnceAndTheProgramGoesOn) {
    const HWND list = main_->List1.hWnd();
    PlainWindow plain;
    const struct {
        const char* where;
        std::function<void()> fail;  // runs a failing handler and checks what must still hold
    } cases[] = {
        {"the main window's procedure",
         [&] {
             NMHDR hdr{list, static_cast<UINT_PTR>(frmMain::IdList1), static_cast<UINT>(NM_DBLCLK)};
             EXPECT_EQ(SendMessageW(main_->hWnd(), WM_NOTIFY, frmMain::IdList1, reinterpret_cast<LPARAM>(&hdr)), 0);
         }},
        {"the message loop (a list key)", [&] { PressKey(*main_, list, VK_RETURN); }},
        {"the tray procedure",
         [&] {
             TrayIcon tray(kTrayMessage, L"Tarvolo");
             ASSERT_TRUE(tray.Add(plain.hwnd, LoadIconW(nullptr, IDI_APPLICATION), [](LPARAM) { OutOfMemory(); }));
             // The message still reaches the procedure the tray replaced.
             EXPECT_EQ(SendMessageW(plain.hwnd, kTrayMessage, 0, WM_LBUTTONDBLCLK), 7);
         }},
        {"a timer's callback",
         [&] {
             const Ref<CTimer> timer = MakeRef<CTimer>();
             int ticks = 0;
             timer->ThatTime = [&] {
                 ++ticks;
                 OutOfMemory();
             };
             timer->Interval(20);
             // The timer runs on after its handler failed.
             EXPECT_TRUE(testsupport::PumpUntil([&] { return ticks >= 3; }));
             timer->Interval(0);
         }},
        {"the link label's procedure",
         [&] {
             ControlAmbient ambient;
             ambient.Name = L"link";
             const Ref<XLinkLabel> label = XLinkLabel::Create(plain.hwnd, 0, 0, 100, 20, ambient);
             label->ShellOpen = [](const std::wstring&) { OutOfMemory(); };
             SendMessageW(label->hWnd(), WM_SIZE, 0, MAKELPARAM(100, 20));
             SendMessageW(label->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             SendMessageW(label->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
             int opened = 0;
             label->ShellOpen = [&](const std::wstring&) { ++opened; };
             SendMessageW(label->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             SendMessageW(label->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
             EXPECT_EQ(opened, 1);
             DestroyWindow(label->hWnd());
         }},
        {"a subclassed window's dispatch",
         [&] {
             const Ref<ThrowingClient> client = MakeRef<ThrowingClient>();
             GSubclass::AttachMessage(client.get(), plain.hwnd, WM_APP + 50);
             // The window's own procedure still answers after the failed client.
             EXPECT_EQ(SendMessageW(plain.hwnd, WM_APP + 50, 0, 0), 7);
             GSubclass::DetachMessage(client.get(), plain.hwnd, WM_APP + 50);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        PromptRecorder told;
        c.fail();
        NextMessage();
        NextMessage();
        ASSERT_EQ(told.calls.size(), 1u);
        EXPECT_EQ(told.calls[0].text, kTold);
        EXPECT_EQ(told.calls[0].title, L"Tarvolo");
        EXPECT_EQ(told.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(PendingCallbackFailures(), 0);
        EXPECT_TRUE(IsWindow(main_->hWnd()));
        EXPECT_EQ(main_->List1.Count(), 1);
    }
}

TEST_F(FailingHandlersTest, AFailureWhileAMessageBoxIsOpenIsToldAfterIt) {
    PromptRecorder prompts;
    SetPromptHandler([&](HWND, const std::wstring& text, const std::wstring& title, UINT style) {
        prompts.calls.push_back({text, title, style});
        // The box's own loop handles messages meanwhile; one of them fails.
        if (prompts.calls.size() == 1) {
            RunGuarded([] { OutOfMemory(); });
            NextMessage();
        }
        return IDNO;
    });
    main_->CmdDel_Click();  // asks first
    ASSERT_EQ(prompts.calls.size(), 1u);
    NextMessage();
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_EQ(prompts.calls[1].text, kTold);
}
