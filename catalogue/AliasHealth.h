#pragma once
// Whether an alias still works: its shortcut as read back from the disk
// compared with the catalogue entry, and what the Run box finds for the
// name. Window-free, so it also builds and tests natively.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Entry.h"

// The four properties the store writes, as a shortcut file holds them.
struct LinkFields {
    std::wstring target, args, workDir, description;
};

enum class AliasState {
    Ok,
    Missing,    // no shortcut in either folder, or one that cannot be read
    Different,  // a shortcut whose target, arguments, working folder or description is not the entry's
    Shadowed,   // the right shortcut, but the Run box opens something else for the name
    Unreached,  // the right shortcut, but the search finds nothing: its folder is off the PATH
    TargetGone,  // the program or folder the entry names is not there (uninstalled, moved, mistyped)
};

// Missing, different and unreached aliases are put right by writing them
// again; a shadowed one is not, the other program comes first whatever we
// write, nor is one whose target is gone, which no shortcut can open.
inline bool Repairable(AliasState state) {
    return state == AliasState::Missing || state == AliasState::Different || state == AliasState::Unreached;
}

// Paths compare as the file system reads them: letter case, '/' for a
// backslash, doubled and trailing backslashes do not matter. Arguments and
// description compare exactly.
bool SamePathText(std::wstring_view a, std::wstring_view b);
bool LinkMatchesEntry(const Entry& entry, const LinkFields& link);

// `link`: the entry's shortcut as read back (nullopt when there is none);
// `shortcut`: its path; `opens`: what the shell's search finds for the name
// ("" when it finds nothing); `targetGone`: the entry's target is known not
// to exist (a target that could not be asked about is not gone). Paths with
// environment variables are compared as they expand: the caller passes
// entry and link expanded.
AliasState ClassifyAlias(const Entry& entry, const std::optional<LinkFields>& link, std::wstring_view shortcut,
                         std::wstring_view opens, bool targetGone = false);

// The names one per line, indented, at most `shown` of them; then a line
// saying how many more there are.
std::wstring ListAliasNames(const std::vector<std::wstring>& names, std::size_t shown = 10);
