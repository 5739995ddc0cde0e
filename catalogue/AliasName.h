#pragma once
// Whether an alias name can be the file name of its shortcut
// ("<name>.lnk" in the shortcut folder) and be typed into the Run box.
// Window-free, so it also builds and tests natively.
#include <string>
#include <string_view>

enum class AliasNameProblem {
    None,
    Empty,                // the entry dialogs report this with their own message
    ControlCharacter,     // a character below U+0020 (CR, LF, tab, NUL) or DEL
    ForbiddenCharacter,   // one of \ / : * ? " < > |
    DotName,              // "." or ".."
    TrailingDotOrBlank,   // the file system would drop it, so the name changes
    ReservedDeviceName,   // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without extension
};

// The first rule the name breaks, in the order of the enumeration.
AliasNameProblem CheckAliasName(std::wstring_view name);

// A short sentence in the program's language saying why the name is refused;
// empty for None.
std::wstring DescribeAliasNameProblem(AliasNameProblem problem);
