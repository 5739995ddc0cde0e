#include "catalogue/AliasFolders.h"

#include <optional>
#include <vector>

#include "catalogue/UserPath.h"
#include "plumbing/HandleGuards.h"
#include "plumbing/SystemInfo.h"

namespace {

FolderResult Failed(std::wstring reason) { return FolderResult{false, std::move(reason)}; }

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A registry string value as stored: the text up to its first NUL, and the
// bytes from there on (normally one NUL), so that a rewrite changes nothing
// but the text.
struct StoredValue {
    bool present = false;
    DWORD type = REG_EXPAND_SZ;
    std::wstring text;
    std::vector<BYTE> tail;
};

LSTATUS ReadValue(HKEY key, const std::wstring& name, StoredValue& out) {
    std::vector<BYTE> bytes;
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(bytes.size());
        const LSTATUS status =
            RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.empty() ? nullptr : bytes.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            out = StoredValue{};
            return ERROR_SUCCESS;
        }
        if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && bytes.empty() && size > 0)) {
            bytes.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS) return status;
        bytes.resize(size);
        out.present = true;
        out.type = type;
        break;
    }
    const size_t units = bytes.size() / 2;
    size_t end = 0;
    while (end < units && (bytes[2 * end] | (bytes[2 * end + 1] << 8)) != 0) ++end;
    out.text.resize(end);
    for (size_t i = 0; i < end; ++i) out.text[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    out.tail.assign(bytes.begin() + static_cast<std::ptrdiff_t>(2 * end), bytes.end());
    return ERROR_SUCCESS;
}

LSTATUS WriteValue(HKEY key, const std::wstring& name, const StoredValue& value) {
    std::vector<BYTE> bytes(value.text.size() * 2);
    for (size_t i = 0; i < value.text.size(); ++i) {
        bytes[2 * i] = static_cast<BYTE>(value.text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<BYTE>(value.text[i] >> 8);
    }
    if (value.present) {
        bytes.insert(bytes.end(), value.tail.begin(), value.tail.end());
    } else {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return RegSetValueExW(key, name.c_str(), 0, value.type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::wstring KeyName(const UserPathKey& key) {
    return (key.root == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER\\" : L"") + key.subkey + L"\\" + key.value;
}

// "<what>“<key>”：<system text>", the message of a failed registry call.
FolderResult RegistryFailed(const wchar_t* what, const UserPathKey& key, LSTATUS status) {
    return Failed(what + (L"“" + KeyName(key) + L"”：") + SystemErrorText(static_cast<DWORD>(status)));
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::wstring LengthRefusal(const UserPathKey& key, size_t length) {
    return L"用户环境变量“" + KeyName(key) + L"”已有 " +
           std::to_wstring(length) + L" 个字符，加入别名文件夹后会超过 Windows 允许的 32767 个字符，因此没有修改它。";
}

}  // namespace

std::wstring SystemAliasFolder(const std::wstring& windir) { return windir + L"\\system\\"; }

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::wstring UserAliasFolder() {
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (n <= 1) return {};
    std::wstring base(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(L"LOCALAPPDATA", base.data(), n);
    if (got == 0 || got >= n) return {};
    base.resize(got);
    // A PATH segment cannot hold ';', and a '%' would be expanded again.
    if (base.find_first_of(L";%\"") != std::wstring::npos) return {};
    const bool absolute = (base.size() >= 3 && base[1] == L':' && base[2] == L'\\') ||
                          (base.size() >= 3 && base[0] == L'\\' && base[1] == L'\\');
    if (!absolute) return {};
    while (base.size() > 3 && base.back() == L'\\') base.pop_back();
    if (base.back() != L'\\') base += L'\\';
    return base + L"Tarvolo\\Aliases\\";
}

bool FolderWritable(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    const std::wstring probe = folder + L"tarvolo-" + std::to_wstring(GetCurrentProcessId()) + L".probe";
    const FileHandle h(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                   nullptr));
    // Our own probe left over from a crash still proves the folder writable.
    if (!h) return GetLastError() == ERROR_FILE_EXISTS && DeleteFileW(probe.c_str());
    return true;
}

FolderResult CreateFolderTree(const std::wstring& folder) {
    const std::wstring path = WithoutTrailingBackslash(folder);
    // Every level from the top down. A level that cannot be created may
    // exist already or be a share's root; only the last one decides.
    DWORD lastError = ERROR_PATH_NOT_FOUND;
    for (size_t i = path.find(L'\\', 3);; i = path.find(L'\\', i + 1)) {
        const std::wstring level = i == std::wstring::npos ? path : path.substr(0, i);
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            lastError = GetLastError();
        }
        if (i == std::wstring::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Failed(L"无法创建文件夹“" + path + L"”：" + SystemErrorText(lastError));
    }
    return {};
}

FolderResult AddFolderToUserPath(const UserPathKey& key, const std::wstring& folder, bool* added) {
    if (added) *added = false;
    RegKey environment;
    LSTATUS status = RegCreateKeyExW(key.root, key.subkey.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                     nullptr, environment.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法打开注册表项", key, status);
    }
    StoredValue value;
    status = ReadValue(environment.get(), key.value, value);
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法读取用户环境变量", key, status);
    }
    if (value.present && !IsText(value.type)) {
        return Failed(L"用户环境变量“" + KeyName(key) +
                      L"”不是文本类型（REG_SZ 或 REG_EXPAND_SZ），为免损坏它，没有修改。");
    }
    const std::wstring expanded = WithoutTrailingBackslash(folder);
    const FolderForms forms{kAliasFolderEntry, expanded};
    if (PathValueHasFolder(value.text, forms)) return {};
    // An expandable value names the folder through %LOCALAPPDATA%, so that it
    // follows a moved profile; a plain one cannot expand it.
    const std::wstring entry = value.type == REG_SZ ? expanded : std::wstring(kAliasFolderEntry);
    const std::wstring grown = AddFolderToPathValue(value.text, entry, forms);
    if (grown == value.text) return Failed(L"别名文件夹“" + expanded + L"”的路径不能写进 PATH。");
    if (grown.size() > kMaxPathValueLength) return Failed(LengthRefusal(key, value.text.size()));
    StoredValue updated = value;
    updated.text = grown;
    status = WriteValue(environment.get(), key.value, updated);
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法写入用户环境变量", key, status);
    }
    if (added) *added = true;
    AnnounceEnvironmentChange();
    return {};
}

FolderResult RemoveFolderFromUserPath(const UserPathKey& key, const std::wstring& folder) {
    RegKey environment;
    LSTATUS status =
        RegOpenKeyExW(key.root, key.subkey.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, environment.put());
    if (status == ERROR_FILE_NOT_FOUND) return {};
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法打开注册表项", key, status);
    }
    StoredValue value;
    status = ReadValue(environment.get(), key.value, value);
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法读取用户环境变量", key, status);
    }
    if (!value.present || !IsText(value.type)) return {};
    const std::wstring expanded = WithoutTrailingBackslash(folder);
    const FolderForms forms{kAliasFolderEntry, expanded};
    const std::wstring shrunk = RemoveFolderFromPathValue(value.text, forms);
    if (shrunk == value.text) return {};
    StoredValue updated = value;
    updated.text = shrunk;
    status = shrunk.empty() ? RegDeleteValueW(environment.get(), key.value.c_str())
                            : WriteValue(environment.get(), key.value, updated);
    if (status != ERROR_SUCCESS) {
        return RegistryFailed(L"无法写入用户环境变量", key, status);
    }
    AnnounceEnvironmentChange();
    return {};
}

std::wstring ReadUserPathForSearch(const UserPathKey& key) {
    RegKey environment;
    if (RegOpenKeyExW(key.root, key.subkey.c_str(), 0, KEY_QUERY_VALUE, environment.put()) != ERROR_SUCCESS) {
        return {};
    }
    StoredValue value;
    if (ReadValue(environment.get(), key.value, value) != ERROR_SUCCESS || !value.present || !IsText(value.type)) {
        return {};
    }
    return value.type == REG_EXPAND_SZ ? ExpandedPath(value.text) : value.text;
}

void AnnounceEnvironmentChange() {
    DWORD_PTR result = 0;
    // The answer does not matter: a window that misses it sees the new PATH
    // at the next logon.
    (void)SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                              SMTO_ABORTIFHUNG, 500, &result);
}
