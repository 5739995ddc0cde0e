// Message dispatch through the subclass registry, and objects left behind by
// repeated paints, dialogs, tray round trips and menu loops.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include "tests/support/ObjectCounts.h"
#include "plumbing/GSubclass.h"
#include "plumbing/SubclassNames.h"

namespace bench {

class NullClient : public ISubclass {
public:
    MsgResponseMode MsgResponse() const override { return mrConsume; }
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 1; }
};

void BenchDispatch(Report& report) {
    constexpr UINT kMsg = WM_APP + 7;
    constexpr int kCalls = 300;
    HWND plain = PlainWindow(L"plain", false);
    const std::wstring lookupName = MessageCountPropName(HandleKey(reinterpret_cast<std::uintptr_t>(plain)), kMsg);
    SetPropW(plain, lookupName.c_str(), reinterpret_cast<HANDLE>(3));

    const auto perCall = [&](auto&& call) {
        return [&, call] {
            const double t0 = NowMs();
            for (int i = 0; i < kCalls; ++i) call();
            return (NowMs() - t0) * 1000.0 / kCalls;
        };
    };
    const Pair lookup = Interleave(Reps(15), true, perCall([&] { SendMessageW(plain, kMsg, 0, 0); }),
                                   perCall([&] { GetPropW(plain, lookupName.c_str()); }));
    const double unsub = lookup.floor.median, oneLookup = lookup.figure.median;
    report.Add({"Window-property look-up (GetPropW by name)", "1", "µs", lookup.figure, lookup.floor,
                Ratio(lookup.figure.median, lookup.floor.median), "reference: the unit of the look-up budgets below",
                "measured"});

    // The same property looked up by its atom: what a registry that resolves
    // its names once would pay per look-up.
    const ATOM atom = GlobalAddAtomW(lookupName.c_str());
    const Pair byAtom = Interleave(Reps(15), true, perCall([&] { GetPropW(plain, lookupName.c_str()); }),
                                   perCall([&] { GetPropW(plain, MAKEINTATOM(atom)); }));
    report.Add({"  the same look-up by atom", "1", "µs", byAtom.figure, byAtom.floor,
                Ratio(byAtom.figure.median, byAtom.floor.median) + " of by name", "≤ 1× of by name",
                Verdict(byAtom.figure.median <= byAtom.floor.median)});
    GlobalDeleteAtom(atom);

    std::vector<Ref<NullClient>> clients;
    for (int n : {0, 1, 3}) {
        HWND sub = PlainWindow(L"subclassed", false);
        // With no client on the message the window is still subclassed,
        // through a client on another message.
        auto other = MakeRef<NullClient>();
        clients.push_back(other);
        GSubclass::AttachMessage(other.get(), sub, kMsg + 1);
        for (int k = 0; k < n; ++k) {
            auto c = MakeRef<NullClient>();
            clients.push_back(c);
            GSubclass::AttachMessage(c.get(), sub, kMsg);
        }
        const Pair p = Interleave(Reps(15), true, perCall([&] { SendMessageW(plain, kMsg, 0, 0); }),
                                  perCall([&] { SendMessageW(sub, kMsg, 0, 0); }));
        const double extra = p.figure.median - p.floor.median;
        const double allowed = (n + 2) * oneLookup;
        report.Add({"Dispatched message, subclassed window", std::to_string(n) + " client" + (n == 1 ? "" : "s"), "µs",
                    p.figure, p.floor, Plus(Fixed(extra / oneLookup, 2)) + " look-ups",
                    "≤ " + Plus(std::to_string(n + 2)) + " look-ups", Verdict(extra <= allowed)});
        (void)unsub;
        DestroyWindow(sub);  // the registry lives in the window's properties and goes with it
    }
    DestroyWindow(plain);
    PumpMessages();
}

// ---------------------------------------------------------------------------

HHOOK g_menuHook = nullptr;
LRESULT CALLBACK EndMenuAtOnce(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU) EndMenu();
    return CallNextHookEx(g_menuHook, code, wParam, lParam);
}

void BenchObjects(Report& report, frmMain& main) {
    HWND hwnd = main.hWnd();
    const int paints = g_quick ? 500 : 10000;
    const int cycles = g_quick ? 50 : 1000;

    // The counters themselves, checked against objects made here.
    {
        const int before = CountGdiObjects();
        HBRUSH b[10];
        for (auto& x : b) x = CreateSolidBrush(RGB(1, 2, 3));
        const int during = CountGdiObjects();
        for (auto& x : b) DeleteObject(x);
        if (during - before != 10 || CountGdiObjects() != before) {
            report.Note("GDI table count is unreliable here (10 brushes counted as " + std::to_string(during - before) +
                        ")");
        }
    }

    const auto run = [&](const std::string& what, int times, auto&& once) {
        once();  // first use creates what is kept for later ones (caches, fonts)
        PumpMessages();
        const int gdi0 = CountGdiObjects(), user0 = CountProcessWindows();
        const double t0 = NowMs();
        for (int i = 0; i < times; ++i) once();
        PumpMessages();
        const double ms = NowMs() - t0;
        const int gdi1 = CountGdiObjects(), user1 = CountProcessWindows();
        const std::string size = std::to_string(times) + " (" + Fixed(ms / times, 2) + " ms each)";
        report.Add({"GDI objects after " + what, size, "count", Stat{double(gdi1), double(gdi1), double(gdi1)},
                    Stat{double(gdi0), double(gdi0), double(gdi0)}, Plus(std::to_string(gdi1 - gdi0)),
                    "no growth", Verdict(gdi1 <= gdi0)});
        report.Add({"USER windows after " + what, size, "count", Stat{double(user1), double(user1), double(user1)},
                    Stat{double(user0), double(user0), double(user0)}, Plus(std::to_string(user1 - user0)),
                    "no growth", Verdict(user1 <= user0)});
    };

    run("paints", paints, [&] { RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); });
    run("entry dialog open/close", cycles, [&] {
        main.FrmAddP().Show();
        PumpMessages();
        main.FrmAddP().Unload();
    });
    const int othersBefore = CountOtherProcessWindows();
    run("tray round trips", cycles, [&] {
        ShowWindow(hwnd, SW_MINIMIZE);
        main.Timer1_Timer();  // what the timer does while the window is minimized
        if (!main.InTray()) return;
        main.sho_Click();
    });
    // Each round trip adds the icon once and deletes it once; Wine's explorer
    // keeps a tooltip window for every icon ever added. Every show, hide and
    // menu then has more top-level windows to walk, in whichever process.
    report.Note("tray round trips and the menu loops after them slow down with every round trip: other "
                "processes' top-level windows went from " +
                std::to_string(othersBefore) + " to " + std::to_string(CountOtherProcessWindows()) +
                " meanwhile (Wine's explorer keeps one tooltip window per tray icon ever added, and deleting the "
                "icon leaves it); this program's windows stayed as counted above");
    g_menuHook = SetWindowsHookExW(WH_MSGFILTER, EndMenuAtOnce, nullptr, GetCurrentThreadId());
    run("menu loops", cycles, [&] {
        // The loop gets one message to look at, and the hook ends it there.
        PostMessageW(hwnd, WM_NULL, 0, 0);
        TrackPopupMenuEx(main.PopupMenu(), TPM_RETURNCMD, 100, 100, hwnd, nullptr);
    });
    UnhookWindowsHookEx(g_menuHook);
}

}  // namespace bench
