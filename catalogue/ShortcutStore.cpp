#include "catalogue/ShortcutStore.h"

#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "catalogue/AliasName.h"

namespace {

// The shell object's own class. Some systems (Wine among them) register the
// same object only under its program id, hence the fallback.
constexpr CLSID kWshShellClsid = {0xF935DC22, 0x1CF0, 0x11D0,
                                  {0xAD, 0xB9, 0x00, 0xC0, 0x4F, 0xD5, 0x8A, 0x0B}};

class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    explicit Variant(const std::wstring& text) : Variant() {
        // SysAllocStringLen keeps an empty value an empty string, not a null.
        V_BSTR(&v_) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (V_BSTR(&v_)) V_VT(&v_) = VT_BSTR;
    }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() noexcept { return &v_; }

private:
    VARIANT v_;
};

std::wstring TakeBstr(BSTR& b) {
    std::wstring text = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    b = nullptr;
    return text;
}

std::wstring SystemText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(buffer, &LocalFree);
    std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        wchar_t code[32];
        swprintf(code, 32, L"错误代码 0x%08lX", static_cast<unsigned long>(hr));
        text = code;
    }
    return text;
}

// A failed call with the best explanation at hand: the object's own
// description when it raised one, else the system's text for the code.
struct CallError {
    HRESULT hr = S_OK;
    std::wstring description;
};

CallError Call(IDispatch* object, const wchar_t* member, WORD flags, VARIANT* arg, VARIANT* result) {
    CallError error;
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    error.hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(error.hr)) return error;

    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = arg;
    params.cArgs = arg ? 1 : 0;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    error.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                              &exception, &argError);
    if (error.hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        error.description = TakeBstr(exception.bstrDescription);
        TakeBstr(exception.bstrSource);
        TakeBstr(exception.bstrHelpFile);
        // The code the object raised says more than "an exception occurred".
        if (FAILED(exception.scode)) error.hr = exception.scode;
    }
    return error;
}

ShortcutResult Located(const std::wstring& folder, const std::wstring& name) {
    ShortcutResult result;
    result.folder = folder;
    result.path = folder + name + L".lnk";
    return result;
}

std::wstring SystemFolderOf(const std::wstring& windir) { return windir + L"\\system\\"; }

ShortcutResult& Fail(ShortcutResult& result, HRESULT hr, std::wstring reason = {}) {
    result.hr = hr;
    result.reason = reason.empty() ? SystemText(hr) : std::move(reason);
    return result;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Properties of an existing shortcut that the store does not set.
struct KeptProperties {
    WORD hotkey = 0;
    std::wstring iconPath;
    int iconIndex = 0;
    int showCommand = SW_SHOWNORMAL;
    bool operator==(const KeptProperties&) const = default;
};

ComRef<IShellLinkW> LoadLink(const std::wstring& path, ComRef<IPersistFile>& file) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(path.c_str(), STGM_READ))) {
        return nullptr;
    }
    return link;
}

KeptProperties ReadKeptProperties(IShellLinkW* link) {
    KeptProperties kept;
    wchar_t icon[MAX_PATH] = {};
    link->GetHotkey(&kept.hotkey);
    link->GetIconLocation(icon, MAX_PATH, &kept.iconIndex);
    kept.iconPath = icon;
    link->GetShowCmd(&kept.showCommand);
    return kept;
}

std::optional<KeptProperties> ReadKeptProperties(const std::wstring& path) {
    ComRef<IPersistFile> file;
    const ComRef<IShellLinkW> link = LoadLink(path, file);
    if (!link) return std::nullopt;
    return ReadKeptProperties(link.get());
}

// Windows' CreateShortcut loads an existing file, so a rewrite keeps its hot
// key, icon and window style; Wine's starts from a blank shortcut. Putting
// them back afterwards gives the same file on both. Failures are ignored:
// the alias itself already works.
void RestoreKeptProperties(const std::wstring& path, const KeptProperties& kept) {
    ComRef<IPersistFile> file;
    const ComRef<IShellLinkW> link = LoadLink(path, file);
    if (!link || ReadKeptProperties(link.get()) == kept) return;
    link->SetHotkey(kept.hotkey);
    link->SetIconLocation(kept.iconPath.c_str(), kept.iconIndex);
    link->SetShowCmd(kept.showCommand);
    (void)file->Save(nullptr, TRUE);
}

}  // namespace

HRESULT WshShellObject::Ensure() {
    if (dispatch_) return S_OK;
    HRESULT hr = CoCreateInstance(kWshShellClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  dispatch_.put_void());
    if (SUCCEEDED(hr)) return hr;
    CLSID clsid{};
    const HRESULT progIdHr = CLSIDFromProgID(L"WScript.Shell", &clsid);
    if (FAILED(progIdHr)) return hr;  // the first error says more than "no such program id"
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch_.put_void());
}

std::wstring GetShortcutPath(const std::wstring& windir, const std::wstring& name) {
    return windir + L"\\system\\" + name + L".lnk";
}

ShortcutResult WriteShortcut(WshShellObject& shell, const std::wstring& windir,
                             const std::wstring& name, const std::wstring& path,
                             const std::wstring& args, const std::wstring& workDir,
                             const std::wstring& comment) {
    return WriteShortcutAt(shell, SystemFolderOf(windir), name, path, args, workDir, comment);
}

ShortcutResult WriteShortcutAt(WshShellObject& shell, const std::wstring& folder,
                               const std::wstring& name, const std::wstring& path,
                               const std::wstring& args, const std::wstring& workDir,
                               const std::wstring& comment) {
    ShortcutResult result = Located(folder, name);
    if (const AliasNameProblem problem = CheckAliasName(name); problem != AliasNameProblem::None) {
        return Fail(result, HRESULT_FROM_WIN32(ERROR_INVALID_NAME), DescribeAliasNameProblem(problem));
    }
    if (const HRESULT hr = shell.Ensure(); FAILED(hr)) return Fail(result, hr);

    // A rewrite replaces only the four properties; the rest of an existing
    // shortcut survives.
    const std::optional<KeptProperties> kept = ReadKeptProperties(result.path);
    Variant pathArg(result.path);
    Variant created;
    CallError error = Call(shell.get(), L"CreateShortcut", DISPATCH_METHOD, pathArg.get(), created.get());
    if (FAILED(error.hr)) return Fail(result, error.hr, error.description);
    if (V_VT(created.get()) != VT_DISPATCH || !V_DISPATCH(created.get())) {
        return Fail(result, E_UNEXPECTED);
    }
    IDispatch* const shortcut = V_DISPATCH(created.get());

    const struct {
        const wchar_t* property;
        const std::wstring& value;
    } properties[] = {{L"TargetPath", path},
                      {L"Arguments", args},
                      {L"WorkingDirectory", workDir},
                      {L"Description", comment}};
    for (const auto& p : properties) {
        Variant value(p.value);
        error = Call(shortcut, p.property, DISPATCH_PROPERTYPUT, value.get(), nullptr);
        if (FAILED(error.hr)) return Fail(result, error.hr, error.description);
    }

    error = Call(shortcut, L"Save", DISPATCH_METHOD, nullptr, nullptr);
    if (FAILED(error.hr)) return Fail(result, error.hr, error.description);
    // A Save that reports success without a file behind it (a device name,
    // a redirected folder) would leave the alias silently dead.
    if (!IsFile(result.path)) {
        return Fail(result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"保存后找不到快捷方式文件。");
    }
    if (kept) RestoreKeptProperties(result.path, *kept);
    return result;
}

ShortcutResult DeleteShortcut(const std::wstring& windir, const std::wstring& name) {
    return DeleteShortcutAt(SystemFolderOf(windir), name);
}

ShortcutResult DeleteShortcutAt(const std::wstring& folder, const std::wstring& name) {
    ShortcutResult result = Located(folder, name);
    switch (const AliasNameProblem problem = CheckAliasName(name)) {
    case AliasNameProblem::Empty:
    case AliasNameProblem::ControlCharacter:
    case AliasNameProblem::ForbiddenCharacter:
        return Fail(result, HRESULT_FROM_WIN32(ERROR_INVALID_NAME), DescribeAliasNameProblem(problem));
    default:
        // Names the dialogs now refuse but older catalogues may hold (a
        // trailing blank, say) still name a file inside the folder.
        break;
    }
    // A shortcut just written may still be held open for a moment by the
    // shell object that saved it: give it that moment before giving up.
    for (int attempt = 0;; ++attempt) {
        if (DeleteFileW(result.path.c_str())) return result;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 20) {
            return Fail(result, HRESULT_FROM_WIN32(error));
        }
        Sleep(25);
    }
}

ShortcutResult RewriteShortcut(WshShellObject& shell, const std::wstring& windir,
                               const std::wstring& oldName, const std::wstring& name,
                               const std::wstring& path, const std::wstring& args,
                               const std::wstring& workDir, const std::wstring& comment) {
    // A write that cannot even start must not cost the entry its old,
    // working shortcut.
    ShortcutResult refused = Located(SystemFolderOf(windir), name);
    if (const AliasNameProblem problem = CheckAliasName(name); problem != AliasNameProblem::None) {
        return Fail(refused, HRESULT_FROM_WIN32(ERROR_INVALID_NAME), DescribeAliasNameProblem(problem));
    }
    if (const HRESULT hr = shell.Ensure(); FAILED(hr)) return Fail(refused, hr);

    // Ignored: the old file may already be gone, and the write below reports
    // what matters.
    (void)DeleteShortcut(windir, oldName);
    return WriteShortcut(shell, windir, name, path, args, workDir, comment);
}
