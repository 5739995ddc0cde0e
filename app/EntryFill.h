#pragma once
// What a chosen program or folder writes into an entry dialog's fields: the
// same whether the path came from the browse button or from a drop.
// Window-free, so it is built and tested natively too.
#include <optional>
#include <string>
#include <string_view>

struct EntryFill {
    std::wstring path, work, name, comment;
    // Browse leaves the arguments as they are; a shortcut brings its own.
    std::optional<std::wstring> args;
};

// The name without its last extension ("app" of "app.exe", "x" of "x.py",
// "setup" of "setup"): cutting a fixed four characters would eat short names.
std::wstring NameWithoutExtension(std::wstring_view file);

// C:\Tools\run.exe: path as given, working folder C:\Tools\, name and comment "run".
EntryFill FillForProgram(std::wstring_view file);

// D:\Music: path and working folder as given, name and comment "Music"
// (empty for a drive root such as D:\).
EntryFill FillForFolder(std::wstring_view folder);

// The fill of a shortcut's target, with what the shortcut carries: its
// arguments always, its working folder and description where it has them.
EntryFill FillForShortcut(bool targetIsFolder, std::wstring_view target, std::wstring_view args,
                          std::wstring_view work, std::wstring_view description);
