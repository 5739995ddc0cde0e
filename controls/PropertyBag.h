#pragma once
// The container's store of a control's persisted properties. Reads take the
// default to use when the key is absent; writes omit a value equal to its
// default, so a saved form only lists what differs. Fonts are stored by value:
// a bag is a snapshot, and changing a font after saving does not change the
// bag.
#include <windows.h>
#include <olectl.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "plumbing/StdFont.h"

// Reading a key whose stored value has another type.
class PropertyBagError : public std::runtime_error {
public:
    explicit PropertyBagError(const std::wstring& key);
    const std::wstring& Key() const noexcept { return key_; }

private:
    std::wstring key_;
};

class PropertyBag {
public:
    using Value = std::variant<OLE_COLOR, bool, std::wstring, Ref<StdFont>>;

    OLE_COLOR ReadColor(const std::wstring& key, OLE_COLOR defaultValue) const;
    bool ReadBool(const std::wstring& key, bool defaultValue) const;
    std::wstring ReadString(const std::wstring& key, const std::wstring& defaultValue) const;
    // A fresh copy of the stored font, or the default itself when absent.
    Ref<StdFont> ReadFont(const std::wstring& key, const Ref<StdFont>& defaultValue) const;

    void WriteColor(const std::wstring& key, OLE_COLOR value, OLE_COLOR defaultValue);
    void WriteBool(const std::wstring& key, bool value, bool defaultValue);
    void WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& defaultValue);
    // Fonts have no default: always written (nothing is written for no font).
    void WriteFont(const std::wstring& key, const Ref<StdFont>& value);

    // Stores a value as is; for containers loading a saved form, and for tests.
    void Set(const std::wstring& key, Value value);
    bool Contains(const std::wstring& key) const;
    // Keys in the order they were first written.
    std::vector<std::wstring> Keys() const;

private:
    const Value* Find(const std::wstring& key) const;
    void Remove(const std::wstring& key);

    std::vector<std::pair<std::wstring, Value>> items_;
};
