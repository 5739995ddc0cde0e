#pragma once
// Reads shortcut files back through one shell link object that is reused
// for every file: creating a shell object per file would cost more than
// reading the file.
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

    // The four properties of the shortcut at `path`; nullopt when it cannot
    // be loaded (missing, not a shortcut, no shell link object).
    std::optional<LinkFields> Read(const std::wstring& path);

private:
    ComRef<IShellLinkW> link_;
    ComRef<IPersistFile> file_;
};
