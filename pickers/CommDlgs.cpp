#include "pickers/CommDlgs.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "plumbing/SystemLibrary.h"

namespace {

constexpr DWORD kFileBufferChars = 255;

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

struct TaskMemFree {
    void operator()(void* p) const noexcept { CoTaskMemFree(p); }
};
using OwnedIdList = std::unique_ptr<ITEMIDLIST, TaskMemFree>;

}  // namespace

std::wstring MakeFileFilter(
    std::initializer_list<std::pair<std::wstring_view, std::wstring_view>> pairs) {
    std::wstring out;
    for (const auto& [description, pattern] : pairs) {
        out.append(description).push_back(L'\0');
        out.append(pattern).push_back(L'\0');
    }
    return out;
}

std::wstring ShowFileDialog(HWND owner, int mode, const std::wstring& title,
                            const std::wstring& initialFile, const std::wstring& filter,
                            const std::wstring& initialDir, const std::wstring& defExt) {
    // The dialog reads the filter up to a double NUL; a caller's string that
    // lacks its closing NULs must not send it reading past the end.
    std::vector<wchar_t> filterList(filter.begin(), filter.end());
    while (filterList.size() < 2 || filterList[filterList.size() - 1] != L'\0' ||
           filterList[filterList.size() - 2] != L'\0') {
        filterList.push_back(L'\0');
    }

    // An initial name longer than the buffer is cut so the buffer keeps its NUL.
    std::vector<wchar_t> file(kFileBufferChars, L'\0');
    initialFile.copy(file.data(), std::min<size_t>(initialFile.size(), kFileBufferChars - 1));
    std::vector<wchar_t> fileTitle(kFileBufferChars, L'\0');

    OPENFILENAMEW ofn{};
    // The layout without the later extension fields, as the program always used.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filterList.data();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = kFileBufferChars;
    ofn.lpstrInitialDir = OrNull(initialDir);
    ofn.lpstrTitle = OrNull(title);
    ofn.lpstrDefExt = OrNull(defExt);

    // The common dialog library is loaded with the first Browse, not when
    // the program starts. Without it there is no dialog: as if cancelled.
    using Dialog = decltype(&::GetOpenFileNameW);
    const bool open = mode == kFileDialogOpen;
    const Dialog show = SystemFunction<Dialog>(L"comdlg32.dll", open ? "GetOpenFileNameW" : "GetSaveFileNameW");
    ofn.Flags = open ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY
                     : OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!show || !show(&ofn)) return {};

    const auto end = std::find(file.begin(), file.end(), L'\0');
    if (end == file.end()) return {};
    return std::wstring(file.begin(), end);
}

std::wstring ShowFolderDialog(HWND owner, const std::wstring& title) {
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;

    const OwnedIdList list(SHBrowseForFolderW(&bi));
    if (!list) return {};

    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.get(), path)) return {};
    return path;
}
