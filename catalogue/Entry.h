#pragma once
// One catalogue row: six text fields in fixed order. At run time the rows of
// the main window's list are the catalogue itself; this record is only what
// moves between the list and the file.
#include <array>
#include <string>

inline constexpr wchar_t kKindProgram[] = L"应用程序";
inline constexpr wchar_t kKindFolder[] = L"文件夹";

// Field positions; list sub-item n holds field n - 1.
enum EntryField : int { kKind = 0, kName, kPath, kWorkDir, kArgs, kComment, kFieldCount };

struct Entry {
    std::array<std::wstring, kFieldCount> fields;

    const std::wstring& Kind() const { return fields[kKind]; }
    const std::wstring& Name() const { return fields[kName]; }
    const std::wstring& Path() const { return fields[kPath]; }
    const std::wstring& WorkDir() const { return fields[kWorkDir]; }
    const std::wstring& Args() const { return fields[kArgs]; }
    const std::wstring& Comment() const { return fields[kComment]; }
};
