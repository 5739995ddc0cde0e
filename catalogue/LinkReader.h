#pragma once
// The one home of the shell link object: shortcut files are loaded here,
// for reading back and for the few changes made through the object itself.
// One object is reused for every file: creating a shell object per file
// would cost more than reading the file.
#include <windows.h>
#include <shobjidl.h>

#include <optional>
#include <string>

#include "catalogue/AliasHealth.h"
#include "plumbing/ComRef.h"

class LinkReader {
public:
    LinkReader() = default;
    LinkReader(const LinkReader&) = delete;
    LinkReader& operator=(const LinkReader&) = delete;

    // Loads the shortcut at `path` (a file that is there); false when it
    // cannot be loaded (missing, not a shortcut, no shell link object).
    // Link() and File() then answer for that file until the next Load.
    bool Load(const std::wstring& path);
    IShellLinkW* Link() const { return link_.get(); }
    IPersistFile* File() const { return file_.get(); }

    // The four properties of the shortcut at `path`, the target as stored
    // (SLGP_RAWPATH: a variable form is not expanded); nullopt when it cannot
    // be loaded.
    std::optional<LinkFields> Read(const std::wstring& path);

private:
    ComRef<IShellLinkW> link_;
    ComRef<IPersistFile> file_;
};

// A property getter's text: getters fill a buffer, and INFOTIPSIZE (1024)
// is what the shell itself allows for a description; longer values are cut
// by it too.
template <class Getter>
std::wstring LinkText(Getter&& get) {
    wchar_t buffer[INFOTIPSIZE + 1] = {};
    if (FAILED(get(buffer, INFOTIPSIZE))) return {};
    buffer[INFOTIPSIZE] = 0;
    return buffer;
}
