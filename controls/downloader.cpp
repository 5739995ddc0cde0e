#include "controls/downloader.h"

#include "plumbing/CallbackGuard.h"

#include <algorithm>
#include <limits>

namespace {

constexpr UINT kMsgTransferNotice = WM_APP + 1;
constexpr const wchar_t* kClassName = L"TarvoloDownloader";

// The events carry 32-bit counts; a larger resource reports the largest.
std::int32_t ToEventCount(std::uint64_t n) {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(n, std::numeric_limits<std::int32_t>::max()));
}

void ShowMessageBox(const std::wstring& text, const std::wstring& title, UINT style) {
    MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
}

}  // namespace

downloader::downloader(Token) : ShowMessage(ShowMessageBox) {}

Ref<downloader> downloader::Create() {
    static const ATOM registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)registered;
    auto control = MakeRef<downloader>(Token{});
    control->m_hWnd = CreateWindowExW(0, kClassName, kDesignCaption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    // The window keeps no reference: the control owns the window and
    // destroys it last.
    if (control->m_hWnd) SetWindowLongPtrW(control->m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    return control;
}

downloader::~downloader() {
    // Every worker is told to stop before any is waited for; all have ended
    // before the window that their notices are posted to goes away.
    for (const auto& transfer : m_Transfers) transfer->Cancel();
    m_Transfers.clear();
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
}

LRESULT CALLBACK downloader::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMsgTransferNotice) {
        // Held for the call: an event handler may drop the host's last reference.
        const Ref<downloader> self = ObjectFromPointer(reinterpret_cast<downloader*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA)));
        // A handler that fails ends this round of events as if it had returned.
        if (self) RunGuarded([&] { self->OnTransferNotice(); });
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

void downloader::BeginDownload(const std::wstring& url, const std::wstring& SaveFile) {
    downStat = true;
    // What the platform rejects at once never reaches a worker.
    const DWORD error = CheckDownloadAddress(url);
    if (error != 0) {
        downStat = false;
        if (ShowMessage) ShowMessage(StartFailureText(error, DescribeDownloadError(error)), L"错误", MB_ICONERROR | MB_OK);
        return;
    }
    const HWND window = m_hWnd;
    m_Transfers.push_back(std::make_unique<HttpTransfer>(
        url, SaveFile, [window] { PostMessageW(window, kMsgTransferNotice, 0, 0); }));
}

bool downloader::CancelAsyncRead() {
    // The reads were started under their save paths while the cancel names
    // none, so every read of this control is stopped.
    for (const auto& transfer : m_Transfers) transfer->Cancel();
    downStat = false;
    return false;
}

void downloader::OnTransferNotice() {
    // Handlers may start or cancel transfers, or run a nested message loop
    // that comes back here: the list is walked by index and a transfer is
    // only collected once its worker is done and its events are delivered.
    for (std::size_t i = 0; i < m_Transfers.size(); ++i) {
        HttpTransfer* transfer = m_Transfers[i].get();
        TransferEvent event;
        while (!transfer->Cancelled() && transfer->NextEvent(event)) {
            if (event.kind == TransferEvent::Kind::Progress) OnProgress(*transfer, event);
            else OnComplete(*transfer, event);
            // A handler may have changed the list; find this transfer again.
            const auto it = std::find_if(m_Transfers.begin(), m_Transfers.end(),
                                         [&](const auto& t) { return t.get() == transfer; });
            if (it == m_Transfers.end()) break;
            i = static_cast<std::size_t>(it - m_Transfers.begin());
        }
    }
    std::erase_if(m_Transfers, [](const std::unique_ptr<HttpTransfer>& t) {
        TransferEvent unused;
        if (!t->Finished()) return false;
        if (!t->Cancelled() && t->NextEvent(unused)) return false;  // cannot happen after the loop above
        t->Join();
        return true;
    });
}

void downloader::OnProgress(const HttpTransfer& transfer, const TransferEvent& event) {
    if (event.maxBytes == 0) return;
    if (DownloadProgress) DownloadProgress(ToEventCount(event.curBytes), ToEventCount(event.maxBytes), transfer.SaveFile());
    downStat = true;
}

void downloader::OnComplete(HttpTransfer& transfer, const TransferEvent& event) {
    const std::wstring saveFile = transfer.SaveFile();  // the handlers may end the transfer
    const std::int32_t maxBytes = ToEventCount(event.maxBytes);
    // A size never known, a broken transfer and a file that cannot be put in
    // place all end as an error: the host is never told of success without
    // the file.
    const bool saved = event.maxBytes != 0 && event.ok && transfer.Commit();
    if (!saved) {
        transfer.Discard();
        if (DownloadError) DownloadError(saveFile);
    }
    if (DownloadComplete) DownloadComplete(maxBytes, saveFile);
    downStat = false;
}
