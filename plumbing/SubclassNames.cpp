#include "plumbing/SubclassNames.h"

std::int32_t HandleKey(std::uintptr_t handleValue) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(handleValue));
}

// std::to_wstring renders int32 as "-123" / "0" / "45": no blanks, no
// leading zeros, which is exactly the registry's number form.
std::wstring OldProcPropName(std::int32_t hWnd) {
    return std::to_wstring(hWnd);
}

std::wstring AttachCountPropName(std::int32_t hWnd) {
    return L"C" + std::to_wstring(hWnd);
}

std::wstring MessageCountPropName(std::int32_t hWnd, std::int32_t iMsg) {
    return std::to_wstring(hWnd) + L"#" + std::to_wstring(iMsg) + L"C";
}

std::wstring ClientSlotPropName(std::int32_t hWnd, std::int32_t iMsg, std::int32_t n) {
    return std::to_wstring(hWnd) + L"#" + std::to_wstring(iMsg) + L"#" + std::to_wstring(n);
}
