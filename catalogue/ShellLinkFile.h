#pragma once
// The one part of a shell link file (the MS-SHLLINK format) the store edits
// on the bytes: the expandable target. A target typed as
// %windir%\notepad.exe is written as the expanded path the link resolves
// to, and kept beside it in its variable form (the HasExpString flag with an
// EnvironmentVariableDataBlock), which Windows expands again for whoever
// opens the shortcut. Not every shell link object can add that block, so the
// file itself is edited. Window-free: the ANSI form of the target comes in
// already converted.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ExpandableTarget {
    std::string ansi;        // the target in the system's ANSI code page
    std::u16string unicode;  // the same in UTF-16
};

// Both forms of the target must fit the block's fixed fields with their
// terminating NUL: 260 bytes and 260 UTF-16 units.
inline constexpr std::size_t kMaxExpandableTarget = 259;

// The variable form the file keeps (its UTF-16 field); nullopt when the
// flag or the block is missing, or the bytes are not a shell link file.
std::optional<std::u16string> ExpandableTargetOf(const std::vector<std::uint8_t>& file);

// The file with its expandable target replaced by `target`, or taken out
// when `target` is nullopt; the header flag follows. Everything else stays
// byte for byte. nullopt when the bytes are not a shell link file whose
// parts all add up, or a form of the target is too long for the block.
std::optional<std::vector<std::uint8_t>> WithExpandableTarget(const std::vector<std::uint8_t>& file,
                                                              const std::optional<ExpandableTarget>& target);
