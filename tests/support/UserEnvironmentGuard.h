#pragma once
// The user's registry environment belongs to the user: a test that touches
// HKEY_CURRENT_USER\Environment takes a copy of every value first, can tell
// whether anything but Path changed, and puts every value back afterwards.
// Also sets LOCALAPPDATA of this process for the test and restores it.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct RegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool operator==(const RegValue&) const = default;
};

inline std::map<std::wstring, RegValue> ReadEnvironmentValues() {
    std::map<std::wstring, RegValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Environment", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        RegValue v;
        v.type = type;
        v.bytes.resize(size);
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, v.bytes.data(), &size);
        v.bytes.resize(size);
        values[name] = std::move(v);
    }
    RegCloseKey(key);
    return values;
}

inline std::optional<RegValue> ReadUserPathValue() {
    const auto values = ReadEnvironmentValues();
    for (const auto& [name, value] : values) {
        if (CompareStringOrdinal(name.c_str(), -1, L"Path", -1, TRUE) == CSTR_EQUAL) return value;
    }
    return std::nullopt;
}

inline RegValue TextValue(DWORD type, const std::wstring& text) {
    RegValue v;
    v.type = type;
    const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
    v.bytes.assign(p, p + (text.size() + 1) * sizeof(wchar_t));
    return v;
}

inline void WriteUserPathValue(const std::optional<RegValue>& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Environment", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (value) {
        RegSetValueExW(key, L"Path", 0, value->type, value->bytes.data(), static_cast<DWORD>(value->bytes.size()));
    } else {
        RegDeleteValueW(key, L"Path");
    }
    RegCloseKey(key);
}

class UserEnvironmentGuard {
public:
    UserEnvironmentGuard() : saved_(ReadEnvironmentValues()) {
        wchar_t local[32768];
        const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", local, 32768);
        if (n > 0 && n < 32768) savedLocal_ = std::wstring(local, n);
    }
    ~UserEnvironmentGuard() {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Environment", 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                        &key, nullptr);
        for (const auto& [name, value] : ReadEnvironmentValues()) {
            if (!saved_.count(name)) RegDeleteValueW(key, name.c_str());
        }
        for (const auto& [name, value] : saved_) {
            RegSetValueExW(key, name.c_str(), 0, value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
        }
        RegCloseKey(key);
        SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal_ ? savedLocal_->c_str() : nullptr);
    }
    UserEnvironmentGuard(const UserEnvironmentGuard&) = delete;
    UserEnvironmentGuard& operator=(const UserEnvironmentGuard&) = delete;

    // Names of the values other than Path that differ from the copy.
    std::vector<std::wstring> ChangedBesidesPath() const {
        std::vector<std::wstring> changed;
        const std::map<std::wstring, RegValue> now = ReadEnvironmentValues();
        for (const std::map<std::wstring, RegValue>* side : {&saved_, &now}) {
            for (const auto& [name, value] : *side) {
                if (CompareStringOrdinal(name.c_str(), -1, L"Path", -1, TRUE) == CSTR_EQUAL) continue;
                const auto a = saved_.find(name);
                const auto b = now.find(name);
                const bool differs = a == saved_.end() || b == now.end() || !(a->second == b->second);
                if (differs && (changed.empty() || changed.back() != name)) changed.push_back(name);
            }
        }
        return changed;
    }

private:
    std::map<std::wstring, RegValue> saved_;
    std::optional<std::wstring> savedLocal_;
};

}  // namespace testsupport
