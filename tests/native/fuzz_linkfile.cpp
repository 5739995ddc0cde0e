// Edits the expandable target of arbitrary bytes as the shortcut store
// edits a saved shell link file: whatever the bytes, nothing is read past
// their end; a file that can be edited reads back the target it was given,
// and taking the target out again gives back exactly the file without one
// (the file itself when it never had one).
//
// Input: the first byte picks the target (its length and whether there is
// one); the rest is the file.
#include "catalogue/ShellLinkFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "link file invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::vector<std::uint8_t> file(data + 1, data + size);

    std::optional<ExpandableTarget> target;
    if (mode & 1) {
        // Up to 127 characters past the limit, so both sides of it are reached.
        const std::size_t length = kMaxExpandableTarget - 64 + (mode >> 1);
        ExpandableTarget t;
        for (std::size_t i = 0; i < length; ++i) t.unicode += static_cast<char16_t>(i % 3 == 0 ? u'%' : u'文');
        t.ansi.assign(length / 2, 'x');
        target = t;
    }
    const std::optional<std::u16string> before = ExpandableTargetOf(file);
    const std::optional<std::vector<std::uint8_t>> without = WithExpandableTarget(file, std::nullopt);
    Check(before == std::nullopt || without, "a file whose target can be read cannot be edited");
    if (without) {
        Check(ExpandableTargetOf(*without) == std::nullopt, "a target is left after taking it out");
        Check(WithExpandableTarget(*without, std::nullopt) == without, "taking out twice changes the file");
        // Nothing taken out (no block): at most the flag changed.
        if (without->size() == file.size()) {
            std::vector<std::uint8_t> flagCleared = file;
            flagCleared[21] &= static_cast<std::uint8_t>(~0x02);
            Check(*without == flagCleared, "a file changed beyond its target");
        }
    }
    const std::optional<std::vector<std::uint8_t>> with = WithExpandableTarget(file, target);
    if (!with) return 0;
    Check(without.has_value(), "edited with a target but not without one");
    Check(ExpandableTargetOf(*with) == (target ? std::optional<std::u16string>(target->unicode) : std::nullopt),
          "the target read back is not the one given");
    Check(WithExpandableTarget(*with, std::nullopt) == without, "taking the target out leaves another file");
    return 0;
}
