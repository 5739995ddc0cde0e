#include "app/EntryFill.h"

#include "pickers/Path.h"

std::wstring NameWithoutExtension(std::wstring_view file) {
    const size_t dot = file.find_last_of(L'.');
    return std::wstring(dot == std::wstring_view::npos || dot == 0 ? file : file.substr(0, dot));
}

EntryFill FillForProgram(std::wstring_view file) {
    EntryFill fill;
    fill.path = file;
    fill.work = GetFolderPart(file);
    fill.name = NameWithoutExtension(GetFileNamePart(file));
    fill.comment = fill.name;
    return fill;
}

EntryFill FillForFolder(std::wstring_view folder) {
    EntryFill fill;
    fill.path = folder;
    fill.work = folder;
    const size_t slash = folder.find_last_of(L'\\');
    fill.name = slash == std::wstring_view::npos ? folder : folder.substr(slash + 1);
    fill.comment = fill.name;
    return fill;
}

EntryFill FillForShortcut(bool targetIsFolder, std::wstring_view target, std::wstring_view args,
                          std::wstring_view work, std::wstring_view description) {
    EntryFill fill = targetIsFolder ? FillForFolder(target) : FillForProgram(target);
    fill.args = std::wstring(args);
    // The working folder is required: a shortcut without one keeps the target's.
    if (!work.empty()) fill.work = work;
    if (!description.empty()) fill.comment = description;
    return fill;
}
