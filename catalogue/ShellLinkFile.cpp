#include "catalogue/ShellLinkFile.h"

#include <array>

namespace {

constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::size_t kFlagsAt = 20;

enum LinkFlag : std::uint32_t {
    kHasLinkTargetIdList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
    kHasExpString = 0x200,
};

constexpr std::uint32_t kEnvironmentBlockSignature = 0xA0000001;
constexpr std::size_t kEnvironmentBlockSize = 0x314;  // size, signature, 260 ANSI bytes, 260 UTF-16 units
constexpr std::size_t kAnsiField = 260;

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Block {
    std::size_t at, size;
    std::uint32_t signature;
};

// Where the file's parts lie. Every size is checked against what is left,
// so a damaged or hostile file gives nullopt, never a read past its end.
struct Layout {
    std::uint32_t flags = 0;
    std::size_t extraAt = 0;     // the first extra data block
    std::vector<Block> blocks;   // in file order
    std::size_t terminalAt = 0;  // the terminal block; what follows it is kept as it is
};

std::optional<Layout> Parse(const std::vector<std::uint8_t>& b) {
    if (b.size() < kHeaderSize || Read32(b, 0) != kHeaderSize) return std::nullopt;
    for (std::size_t i = 0; i < kLinkClsid.size(); ++i) {
        if (b[4 + i] != kLinkClsid[i]) return std::nullopt;
    }
    Layout layout;
    layout.flags = Read32(b, kFlagsAt);
    std::size_t at = kHeaderSize;
    const auto skip = [&](std::size_t n) {
        if (n > b.size() - at) return false;
        at += n;
        return true;
    };
    if (layout.flags & kHasLinkTargetIdList) {
        if (b.size() - at < 2) return std::nullopt;
        const std::size_t n = Read16(b, at);
        if (!skip(2) || !skip(n)) return std::nullopt;
    }
    if (layout.flags & kHasLinkInfo) {
        if (b.size() - at < 4) return std::nullopt;
        const std::size_t n = Read32(b, at);
        if (n < 4 || !skip(n)) return std::nullopt;
    }
    const std::size_t unit = (layout.flags & kIsUnicode) ? 2 : 1;
    for (const std::uint32_t flag : {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
        if (!(layout.flags & flag)) continue;
        if (b.size() - at < 2) return std::nullopt;
        const std::size_t n = Read16(b, at);
        if (!skip(2) || !skip(n * unit)) return std::nullopt;
    }
    layout.extraAt = at;
    for (;;) {
        // A file must end its extra data with the terminal block (a size
        // below 4); one that does not is not edited.
        if (b.size() - at < 4) return std::nullopt;
        const std::size_t size = Read32(b, at);
        if (size < 4) {
            layout.terminalAt = at;
            return layout;
        }
        if (size < 8 || size > b.size() - at) return std::nullopt;
        layout.blocks.push_back({at, size, Read32(b, at + 4)});
        at += size;
    }
}

}  // namespace

std::optional<std::u16string> ExpandableTargetOf(const std::vector<std::uint8_t>& file) {
    const std::optional<Layout> layout = Parse(file);
    if (!layout || !(layout->flags & kHasExpString)) return std::nullopt;
    for (const Block& block : layout->blocks) {
        if (block.signature != kEnvironmentBlockSignature || block.size < kEnvironmentBlockSize) continue;
        std::u16string target;
        for (std::size_t i = block.at + 8 + kAnsiField; i + 1 < block.at + kEnvironmentBlockSize; i += 2) {
            const char16_t c = static_cast<char16_t>(Read16(file, i));
            if (c == 0) break;
            target += c;
        }
        if (target.empty()) return std::nullopt;
        return target;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> WithExpandableTarget(const std::vector<std::uint8_t>& file,
                                                              const std::optional<ExpandableTarget>& target) {
    const std::optional<Layout> layout = Parse(file);
    if (!layout) return std::nullopt;
    if (target && (target->unicode.empty() || target->unicode.size() > kMaxExpandableTarget ||
                   target->ansi.size() > kMaxExpandableTarget)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(layout->extraAt));
    out.reserve(file.size() + kEnvironmentBlockSize);
    const std::uint32_t flags = target ? layout->flags | kHasExpString : layout->flags & ~std::uint32_t{kHasExpString};
    Put32(out, kFlagsAt, flags);
    for (const Block& block : layout->blocks) {
        if (block.signature == kEnvironmentBlockSignature) continue;  // the old one, if any
        out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(block.at),
                   file.begin() + static_cast<std::ptrdiff_t>(block.at + block.size));
    }
    if (target) {
        const std::size_t at = out.size();
        out.resize(at + kEnvironmentBlockSize, 0);
        Put32(out, at, kEnvironmentBlockSize);
        Put32(out, at + 4, kEnvironmentBlockSignature);
        for (std::size_t i = 0; i < target->ansi.size(); ++i) out[at + 8 + i] = static_cast<std::uint8_t>(target->ansi[i]);
        for (std::size_t i = 0; i < target->unicode.size(); ++i) {
            out[at + 8 + kAnsiField + 2 * i] = static_cast<std::uint8_t>(target->unicode[i] & 0xFF);
            out[at + 8 + kAnsiField + 2 * i + 1] = static_cast<std::uint8_t>(target->unicode[i] >> 8);
        }
    }
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(layout->terminalAt), file.end());
    return out;
}
