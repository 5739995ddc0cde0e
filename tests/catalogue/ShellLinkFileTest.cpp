#include "catalogue/ShellLinkFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
std::uint32_t FlagsOf(const Bytes& b) { return b[20] | b[21] << 8 | b[22] << 16 | static_cast<std::uint32_t>(b[23]) << 24; }

// A shell link file built part by part, as MS-SHLLINK lays them out.
struct Link {
    std::uint32_t flags = 0x80;  // IsUnicode
    Bytes idList, linkInfo;      // bodies; present when not empty
    std::vector<std::u16string> strings;  // name, relative path, working dir, arguments, icon (those present)
    std::vector<Bytes> blocks;            // whole extra data blocks
    Bytes afterTerminal;

    Bytes Build() const {
        Bytes b;
        Put32(b, 0x4C);
        for (std::uint8_t c : {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                               0x00, 0x46}) {
            b.push_back(c);
        }
        std::uint32_t f = flags;
        if (!idList.empty()) f |= 0x1;
        if (!linkInfo.empty()) f |= 0x2;
        const std::uint32_t stringFlags[] = {0x4, 0x8, 0x10, 0x20, 0x40};
        for (size_t i = 0; i < strings.size(); ++i) f |= stringFlags[i];
        Put32(b, f);
        b.resize(0x4C, 0);
        if (!idList.empty()) {
            Put16(b, static_cast<std::uint32_t>(idList.size()));
            b.insert(b.end(), idList.begin(), idList.end());
        }
        if (!linkInfo.empty()) {
            Put32(b, static_cast<std::uint32_t>(linkInfo.size() + 4));
            b.insert(b.end(), linkInfo.begin(), linkInfo.end());
        }
        for (const std::u16string& s : strings) {
            Put16(b, static_cast<std::uint32_t>(s.size()));
            for (char16_t c : s) {
                if (flags & 0x80) {
                    Put16(b, c);
                } else {
                    b.push_back(static_cast<std::uint8_t>(c));
                }
            }
        }
        for (const Bytes& block : blocks) b.insert(b.end(), block.begin(), block.end());
        Put32(b, 0);
        b.insert(b.end(), afterTerminal.begin(), afterTerminal.end());
        return b;
    }
};

Bytes Block(std::uint32_t signature, size_t size, std::uint8_t fill) {
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(size));
    Put32(b, signature);
    b.resize(size, fill);
    return b;
}

ExpandableTarget Typed(const std::u16string& unicode) {
    return {std::string(unicode.begin(), unicode.end()), unicode};
}

}  // namespace

TEST(ShellLinkFile, TheTypedTargetIsAddedReadBackAndTakenOutLeavingEveryOtherByte) {
    Link plain;
    Link full;
    full.idList = Bytes(179, 0x11);
    full.linkInfo = Bytes(65, 0x22);
    full.strings = {u"注释", u"..\\x.exe", u"C:\\Windows", u"-a \"b\"", u"C:\\i.ico"};
    full.blocks = {Block(0xA0000003, 0x60, 0x33), Block(0xA0000009, 0x20, 0x44)};
    full.afterTerminal = {0x55, 0x66};
    Link ansi = full;
    ansi.flags = 0;
    ansi.strings = {u"note"};
    const struct {
        const char* what;
        Link link;
    } cases[] = {{"header only", plain}, {"every part", full}, {"ANSI strings", ansi}};
    for (const auto& c : cases) {
        const Bytes original = c.link.Build();
        EXPECT_EQ(ExpandableTargetOf(original), std::nullopt) << c.what;
        const std::optional<Bytes> withTarget = WithExpandableTarget(original, Typed(u"%windir%\\notepad.exe"));
        ASSERT_TRUE(withTarget) << c.what;
        EXPECT_EQ(ExpandableTargetOf(*withTarget), u"%windir%\\notepad.exe") << c.what;
        EXPECT_EQ(FlagsOf(*withTarget), FlagsOf(original) | 0x200) << c.what;
        EXPECT_EQ(withTarget->size(), original.size() + 0x314) << c.what;
        // Another target replaces it: still one block.
        const std::optional<Bytes> other = WithExpandableTarget(*withTarget, Typed(u"%USERPROFILE%\\t\\x.exe"));
        ASSERT_TRUE(other) << c.what;
        EXPECT_EQ(ExpandableTargetOf(*other), u"%USERPROFILE%\\t\\x.exe") << c.what;
        EXPECT_EQ(other->size(), withTarget->size()) << c.what;
        // Taken out again: the file is what it was, byte for byte.
        EXPECT_EQ(WithExpandableTarget(*other, std::nullopt), original) << c.what;
        EXPECT_EQ(WithExpandableTarget(original, std::nullopt), original) << c.what;
    }
}

TEST(ShellLinkFile, AFlagWithoutItsBlockOrABlockWithoutItsFlagHoldsNoTarget) {
    Link flagOnly;
    flagOnly.flags |= 0x200;
    EXPECT_EQ(ExpandableTargetOf(flagOnly.Build()), std::nullopt);
    const Bytes withTarget = *WithExpandableTarget(Link{}.Build(), Typed(u"%windir%\\a.exe"));
    Bytes blockOnly = withTarget;
    blockOnly[21] &= static_cast<std::uint8_t>(~0x02);  // HasExpString is bit 9
    EXPECT_EQ(ExpandableTargetOf(blockOnly), std::nullopt);
    // Setting the target again puts the flag back.
    EXPECT_EQ(WithExpandableTarget(blockOnly, Typed(u"%windir%\\a.exe")), withTarget);
}

TEST(ShellLinkFile, BytesThatDoNotAddUpAreNeitherReadNorEdited) {
    const Bytes good = [] {
        Link l;
        l.idList = Bytes(10, 1);
        l.linkInfo = Bytes(8, 2);
        l.strings = {u"abc"};
        l.blocks = {Block(0xA0000003, 0x10, 3)};
        return l.Build();
    }();
    ASSERT_TRUE(WithExpandableTarget(good, Typed(u"%a%")));
    const auto broken = [&](size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const size_t idList = 0x4C, linkInfo = idList + 2 + 10, strings = linkInfo + 8 + 4, blocks = strings + 2 + 6;
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"cut in the header", Bytes(good.begin(), good.begin() + 40)},
        {"another header size", broken(0, 0x4D)},
        {"another class", broken(4, 0x02)},
        {"ID list past the end", broken(idList + 1, 0x7F)},
        {"link info shorter than its size field", broken(linkInfo, 2)},
        {"link info past the end", broken(linkInfo + 2, 0x7F)},
        {"string past the end", broken(strings, 0xFF)},
        {"block shorter than its header", broken(blocks, 5)},
        {"block past the end", broken(blocks + 1, 0x7F)},
        {"no terminal block", Bytes(good.begin(), good.end() - 4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandableTargetOf(c.bytes), std::nullopt) << c.what;
        EXPECT_EQ(WithExpandableTarget(c.bytes, Typed(u"%a%")), std::nullopt) << c.what;
        EXPECT_EQ(WithExpandableTarget(c.bytes, std::nullopt), std::nullopt) << c.what;
    }
    // The block's fields hold 259 characters and the terminating NUL.
    const std::u16string longest(kMaxExpandableTarget, u'x');
    EXPECT_EQ(ExpandableTargetOf(*WithExpandableTarget(good, Typed(longest))), longest);
    EXPECT_EQ(WithExpandableTarget(good, Typed(longest + u'x')), std::nullopt);
    EXPECT_EQ(WithExpandableTarget(good, ExpandableTarget{std::string(kMaxExpandableTarget + 1, 'x'), u"%a%"}),
              std::nullopt);
    EXPECT_EQ(WithExpandableTarget(good, Typed(u"")), std::nullopt);
}
