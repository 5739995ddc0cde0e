#include "controls/PropertyBag.h"

#include <algorithm>

namespace {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

template <class T>
T ReadAs(const PropertyBag::Value* stored, const std::wstring& key, const T& defaultValue) {
    if (!stored) return defaultValue;
    if (const T* v = std::get_if<T>(stored)) return *v;
    throw PropertyBagError(key);
}

}  // namespace

PropertyBagError::PropertyBagError(const std::wstring& key)
    : std::runtime_error("property '" + Narrow(key) + "' holds a value of another type"), key_(key) {}

const PropertyBag::Value* PropertyBag::Find(const std::wstring& key) const {
    for (const auto& [k, v] : items_) {
        if (k == key) return &v;
    }
    return nullptr;
}

void PropertyBag::Remove(const std::wstring& key) {
    std::erase_if(items_, [&](const auto& item) { return item.first == key; });
}

void PropertyBag::Set(const std::wstring& key, Value value) {
    for (auto& item : items_) {
        if (item.first == key) {
            item.second = std::move(value);
            return;
        }
    }
    items_.emplace_back(key, std::move(value));
}

bool PropertyBag::Contains(const std::wstring& key) const { return Find(key) != nullptr; }

std::vector<std::wstring> PropertyBag::Keys() const {
    std::vector<std::wstring> keys;
    for (const auto& item : items_) keys.push_back(item.first);
    return keys;
}

OLE_COLOR PropertyBag::ReadColor(const std::wstring& key, OLE_COLOR defaultValue) const {
    return ReadAs(Find(key), key, defaultValue);
}

bool PropertyBag::ReadBool(const std::wstring& key, bool defaultValue) const {
    return ReadAs(Find(key), key, defaultValue);
}

std::wstring PropertyBag::ReadString(const std::wstring& key, const std::wstring& defaultValue) const {
    return ReadAs(Find(key), key, defaultValue);
}

Ref<StdFont> PropertyBag::ReadFont(const std::wstring& key, const Ref<StdFont>& defaultValue) const {
    const Value* stored = Find(key);
    if (!stored) return defaultValue;
    const Ref<StdFont>* font = std::get_if<Ref<StdFont>>(stored);
    if (!font || !*font) throw PropertyBagError(key);
    return (*font)->Clone();
}

// A value equal to its default is removed rather than left stale from an
// earlier write, so the bag reads back exactly what was written.
void PropertyBag::WriteColor(const std::wstring& key, OLE_COLOR value, OLE_COLOR defaultValue) {
    if (value == defaultValue) Remove(key);
    else Set(key, Value(std::in_place_type<OLE_COLOR>, value));
}

void PropertyBag::WriteBool(const std::wstring& key, bool value, bool defaultValue) {
    if (value == defaultValue) Remove(key);
    else Set(key, Value(std::in_place_type<bool>, value));
}

void PropertyBag::WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& defaultValue) {
    if (value == defaultValue) Remove(key);
    else Set(key, Value(std::in_place_type<std::wstring>, value));
}

void PropertyBag::WriteFont(const std::wstring& key, const Ref<StdFont>& value) {
    if (!value) {
        Remove(key);
        return;
    }
    Set(key, Value(std::in_place_type<Ref<StdFont>>, value->Clone()));
}
