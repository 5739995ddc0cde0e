#include "tests/support/TestSupport.h"

#include <fstream>
#include <iterator>

namespace testsupport {

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    PumpMessages();
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    path_ = std::filesystem::path(base) /
            (L"tarvolo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files left by a test would block removal.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string AnsiLines(std::initializer_list<std::wstring> lines) {
    std::string out;
    for (const auto& l : lines) out += ToAnsi(l) + "\r\n";
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring WinePathFromUnix(const char* path) {
    std::wstring out = FromUtf8(path);
    if (!out.empty() && out[0] == L'/') {
        for (auto& c : out) c = c == L'/' ? L'\\' : c;
        out = L"Z:" + out;
    }
    return out;
}

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
    STARTUPINFOW si{sizeof(si)};
    std::wstring cmd = L"\"" + exe + L"\" " + arguments;
    started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &si, &pi_) != FALSE;
    if (!started_) startError_ = GetLastError();
}

ChildProcess::~ChildProcess() {
    if (!started_) return;
    Kill();
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool ChildProcess::Wait(DWORD ms, DWORD* code) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(pi_.hProcess, code);
    return true;
}

void ChildProcess::Kill() {
    if (started_ && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 9);
        WaitForSingleObject(pi_.hProcess, 10000);
    }
}

}  // namespace testsupport
