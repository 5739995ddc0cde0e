#include "controls/HttpTransfer.h"

#include <wininet.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "plumbing/HandleGuards.h"
#include "plumbing/SystemInfo.h"
#include "plumbing/SystemLibrary.h"

namespace {

// WinINet, with the socket and network libraries it pulls in, serves only
// downloads: it is loaded with the first one, not when the program starts.
struct WinInet {
    template <class F>
    static F Get(const char* name) noexcept {
        return SystemFunction<F>(L"wininet.dll", name);
    }
    decltype(&::InternetOpenW) open = Get<decltype(&::InternetOpenW)>("InternetOpenW");
    decltype(&::InternetOpenUrlW) openUrl = Get<decltype(&::InternetOpenUrlW)>("InternetOpenUrlW");
    decltype(&::InternetSetOptionW) setOption = Get<decltype(&::InternetSetOptionW)>("InternetSetOptionW");
    decltype(&::HttpQueryInfoW) queryInfo = Get<decltype(&::HttpQueryInfoW)>("HttpQueryInfoW");
    decltype(&::InternetQueryDataAvailable) available =
        Get<decltype(&::InternetQueryDataAvailable)>("InternetQueryDataAvailable");
    decltype(&::InternetReadFile) read = Get<decltype(&::InternetReadFile)>("InternetReadFile");
    decltype(&::InternetCrackUrlW) crackUrl = Get<decltype(&::InternetCrackUrlW)>("InternetCrackUrlW");
    decltype(&::InternetCloseHandle) close = Get<decltype(&::InternetCloseHandle)>("InternetCloseHandle");

    bool Loaded() const noexcept {
        return open && openUrl && setOption && queryInfo && available && read && crackUrl && close;
    }
};

const WinInet& Internet() {
    static const WinInet api;
    return api;
}

// A stalled server must not hold a cancelled transfer (or the control's
// destructor waiting for it) for long.
constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kBlockSize = 64 * 1024;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() { if (h_) Internet().close(h_); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

std::wstring QueryHeader(HINTERNET request, DWORD info) {
    wchar_t text[64] = {};
    DWORD size = sizeof(text);
    if (!Internet().queryInfo(request, info, text, &size, nullptr)) return {};
    return text;
}

// An absent or malformed header counts as "size not known".
std::uint64_t ParseLength(const std::wstring& text) {
    if (text.empty() || text.size() > 19) return 0;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return value;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

HttpTransfer::HttpTransfer(std::wstring url, std::wstring saveFile, Notify notify)
    : url_(std::move(url)), saveFile_(std::move(saveFile)), notify_(std::move(notify)) {
    thread_ = std::thread(&HttpTransfer::Run, this);
}

HttpTransfer::~HttpTransfer() {
    Cancel();
    Join();
    Discard();
}

void HttpTransfer::Cancel() { cancel_ = true; }

void HttpTransfer::Join() {
    if (thread_.joinable()) thread_.join();
}

bool HttpTransfer::NextEvent(TransferEvent& event) {
    const std::lock_guard lock(mutex_);
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

void HttpTransfer::Queue(const TransferEvent& event) {
    {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    if (notify_) notify_();
}

bool HttpTransfer::Commit() {
    if (tempFile_.empty()) return false;
    const bool moved = MoveFileExW(tempFile_.c_str(), saveFile_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!moved) Discard();
    tempFile_.clear();
    return moved;
}

void HttpTransfer::Discard() {
    if (!tempFile_.empty()) DeleteFileW(tempFile_.c_str());
    tempFile_.clear();
}

void HttpTransfer::Run() {
    TransferEvent done;
    done.kind = TransferEvent::Kind::Done;
    const WinInet& api = Internet();
    const InternetHandle net(api.Loaded() ? api.open(L"Tarvolo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)
                                          : nullptr);
    if (net) {
        DWORD timeout = kTimeoutMs;
        api.setOption(net.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
        api.setOption(net.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        // Always from the server, and nothing left in the cache for next time.
        const InternetHandle request(api.openUrl(net.get(), url_.c_str(), nullptr, 0,
                                                 INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
        const std::wstring status = request ? QueryHeader(request.get(), HTTP_QUERY_STATUS_CODE) : L"";
        // An error page is not the resource: treated like an unknown size.
        const bool statusOk = request && (status.empty() || status[0] == L'2');
        if (statusOk && !cancel_) {
            done.maxBytes = ParseLength(QueryHeader(request.get(), HTTP_QUERY_CONTENT_LENGTH));
            if (done.maxBytes > 0) done.ok = Receive(request.get(), done.maxBytes, done.curBytes);
        }
    }
    if (cancel_) {
        Discard();  // a cancelled read reports nothing and leaves nothing
    } else {
        Queue(done);
    }
    finished_ = true;
    if (notify_) notify_();  // so the owner can collect the thread
}

bool HttpTransfer::Receive(void* request, std::uint64_t maxBytes, std::uint64_t& curBytes) {
    std::filesystem::path folder = std::filesystem::path(saveFile_).parent_path();
    if (folder.empty()) folder = L".";
    wchar_t temp[MAX_PATH];
    // Beside the save file, so that putting it in place is one rename.
    if (!GetTempFileNameW(folder.c_str(), L"tvd", 0, temp)) return false;
    tempFile_ = temp;
    bool ok = false;
    {
        const FileHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::vector<char> block(kBlockSize);
        while (file && !cancel_) {
            // Reading only what has arrived keeps each read short (some
            // WinINet versions wait to fill the whole block), so progress
            // flows and a cancel is noticed soon.
            DWORD available = 0;
            if (!Internet().available(request, &available, 0, 0)) break;
            DWORD got = 0;
            const DWORD want = available == 0 ? 1 : std::min(available, kBlockSize);
            if (!Internet().read(request, block.data(), want, &got)) break;
            if (got == 0) {
                ok = curBytes == maxBytes;  // a short body is a broken transfer
                break;
            }
            if (!WriteAll(file.get(), block.data(), got)) break;
            curBytes += got;
            if (cancel_) break;
            TransferEvent progress;
            progress.curBytes = curBytes;
            progress.maxBytes = maxBytes;
            Queue(progress);
        }
    }
    if (!ok) Discard();
    return ok;
}

DWORD CheckDownloadAddress(const std::wstring& url) {
    URL_COMPONENTSW parts{sizeof(parts)};
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    const WinInet& api = Internet();
    if (!api.Loaded()) return ERROR_MOD_NOT_FOUND;
    if (url.empty() || !api.crackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        const DWORD error = GetLastError();
        return error ? error : ERROR_INTERNET_INVALID_URL;
    }
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP:
    case INTERNET_SCHEME_HTTPS:
    case INTERNET_SCHEME_FTP:
        break;
    default:
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    if (parts.dwHostNameLength == 0) return ERROR_INTERNET_INVALID_URL;
    return 0;
}

std::wstring DescribeDownloadError(DWORD code) {
    // WinINet's own codes have their texts in its message table.
    const bool internet = code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST;
    const HMODULE wininet = internet ? SystemLibrary(L"wininet.dll") : nullptr;
    const wchar_t* fallback = L"未知错误";
    switch (code) {
    case ERROR_INTERNET_INVALID_URL: fallback = L"地址格式不正确"; break;
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: fallback = L"无法识别的地址协议"; break;
    default: break;
    }
    return SystemErrorText(code, wininet, fallback);
}

std::wstring StartFailureText(DWORD code, const std::wstring& description) {
    return std::to_wstring(code) + L"开始下载数据失败！\r\n\r\n错误：" + description;
}
