#include "frame/MenuKeys.h"

namespace {

// The virtual-key codes, as the platform numbers them.
constexpr unsigned kReturn = 0x0D, kMenu = 0x12, kEscape = 0x1B, kEnd = 0x23, kHome = 0x24, kLeft = 0x25,
                   kUp = 0x26, kRight = 0x27, kDown = 0x28, kF10 = 0x79;

}  // namespace

BarKeyStep StepForBarKey(unsigned vk, int current, int count) noexcept {
    if (count < 1) return {BarKey::Leave, 0};
    if (current < 1 || current > count) current = 1;
    switch (vk) {
    case kLeft: return {BarKey::Move, current <= 1 ? count : current - 1};
    case kRight: return {BarKey::Move, current >= count ? 1 : current + 1};
    case kHome: return {BarKey::Move, 1};
    case kEnd: return {BarKey::Move, count};
    case kDown:
    case kUp:
    case kReturn: return {BarKey::Open, current};
    // Alt or F10 again puts the selection away, as it was put up.
    case kEscape:
    case kMenu:
    case kF10: return {BarKey::Leave, current};
    default: break;
    }
    const bool letter = vk >= 'A' && vk <= 'Z';
    const bool digit = vk >= '0' && vk <= '9';
    return {letter || digit ? BarKey::Mnemonic : BarKey::Ignore, current};
}

std::wstring WithoutMnemonicMarks(std::wstring_view text) {
    std::wstring shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 >= text.size()) break;  // a trailing '&' marks nothing and shows nothing
            ++i;                               // "&&" is one '&'; "&x" is x
        }
        shown.push_back(text[i]);
    }
    return shown;
}
