#include "catalogue/ShortcutStore.h"

#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "catalogue/AliasName.h"
#include "catalogue/LinkReader.h"
#include "catalogue/ShellLinkFile.h"
#include "plumbing/HandleGuards.h"
#include "plumbing/SystemInfo.h"

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
    result.reason = reason.empty() ? SystemErrorText(static_cast<DWORD>(hr)) : std::move(reason);
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
    LinkReader reader;
    if (!reader.Load(path)) return std::nullopt;
    return ReadKeptProperties(reader.Link());
}

// Windows' CreateShortcut loads an existing file, so a rewrite keeps its hot
// key, icon and window style; Wine's starts from a blank shortcut. Putting
// them back afterwards gives the same file on both. Failures are ignored:
// the alias itself already works.
void RestoreKeptProperties(const std::wstring& path, const KeptProperties& kept) {
    LinkReader reader;
    if (!reader.Load(path) || ReadKeptProperties(reader.Link()) == kept) return;
    reader.Link()->SetHotkey(kept.hotkey);
    reader.Link()->SetIconLocation(kept.iconPath.c_str(), kept.iconIndex);
    reader.Link()->SetShowCmd(kept.showCommand);
    (void)reader.File()->Save(nullptr, TRUE);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    // A shortcut is a few hundred bytes; anything near a megabyte is not ours to edit.
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 20)) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

// Written beside the shortcut and moved over it, so that a failure half-way
// never leaves a broken shortcut behind.
bool ReplaceWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::wstring temporary = path + L".tarvolo-new";
    bool written = false;
    {
        const FileHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written = file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size();
    }
    if (written && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

ExpandableTarget ExpandableFormOf(const std::wstring& typed) {
    ExpandableTarget target;
    target.unicode.assign(typed.begin(), typed.end());
    const int n = WideCharToMultiByte(CP_ACP, 0, typed.data(), static_cast<int>(typed.size()), nullptr, 0, nullptr,
                                      nullptr);
    if (n > 0) {
        target.ansi.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, 0, typed.data(), static_cast<int>(typed.size()), target.ansi.data(), n, nullptr,
                            nullptr);
    }
    return target;
}

// A target typed with environment variables is written expanded, so that
// the shortcut opens the real file under any shell; its typed form is kept
// beside it as the expandable target, which Windows expands again for
// whoever opens the shortcut. A target without variables has no such form,
// and one left from an earlier target goes. The shell link object adds the
// form where it can (IShellLinkDataList); Wine's cannot, and there the saved
// file is edited. Failures are ignored: the expanded target works on this
// machine either way.
bool AddedByShellObject(const std::wstring& path, const std::wstring& typed, const ExpandableTarget& form) {
    EXP_SZ_LINK block{};
    block.cbSize = sizeof(block);
    block.dwSignature = EXP_SZ_LINK_SIG;
    std::copy(form.ansi.begin(), form.ansi.end(), block.szTarget);
    std::copy(typed.begin(), typed.end(), block.swzTarget);
    LinkReader reader;
    ComRef<IShellLinkDataList> data;
    DWORD flags = 0;
    return reader.Load(path) && SUCCEEDED(reader.Link()->QueryInterface(IID_IShellLinkDataList, data.put_void())) &&
           SUCCEEDED(data->AddDataBlock(&block)) && SUCCEEDED(data->GetFlags(&flags)) &&
           SUCCEEDED(data->SetFlags(flags | SLDF_HAS_EXP_SZ)) && SUCCEEDED(reader.File()->Save(nullptr, TRUE));
}

// A target typed with environment variables is written expanded, so that
// the shortcut opens the real file under any shell; its typed form is kept
// beside it as the expandable target, which Windows expands again for
// whoever opens the shortcut. A target without variables has no such form,
// and one left from an earlier target goes. The shell link object adds the
// form where it can (IShellLinkDataList); Wine's cannot, and there the saved
// file is edited. Failures are ignored: the expanded target works on this
// machine either way. `rewritten`: the file was there before this write
// (only such a file can hold an old form).
void KeepTypedTarget(const std::wstring& path, const std::wstring& typed, const std::wstring& expanded,
                     bool rewritten) {
    std::optional<ExpandableTarget> form;
    if (typed != expanded && typed.size() <= kMaxExpandableTarget) form = ExpandableFormOf(typed);
    if (form && form->ansi.size() > kMaxExpandableTarget) form.reset();
    if (!form && !rewritten) return;
    const std::optional<std::u16string> wanted = form ? std::optional<std::u16string>(form->unicode) : std::nullopt;
    std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
    if (!bytes) return;
    const std::optional<std::u16string> kept = ExpandableTargetOf(*bytes);
    if (kept == wanted) return;
    if (form && !kept && AddedByShellObject(path, typed, *form)) {
        bytes = ReadWholeFile(path);
        if (!bytes || ExpandableTargetOf(*bytes) == wanted) return;
    }
    if (const std::optional<std::vector<std::uint8_t>> edited = WithExpandableTarget(*bytes, form)) {
        (void)ReplaceWholeFile(path, *edited);
    }
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

    // The shortcut format keeps a variable form for the target only (below);
    // the working folder is written as it expands here.
    const std::wstring target = ExpandedPath(path);
    const std::wstring startIn = ExpandedPath(workDir);
    const struct {
        const wchar_t* property;
        const std::wstring& value;
    } properties[] = {{L"TargetPath", target},
                      {L"Arguments", args},
                      {L"WorkingDirectory", startIn},
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
    KeepTypedTarget(result.path, path, target, kept.has_value());
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
