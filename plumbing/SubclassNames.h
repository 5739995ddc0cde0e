#pragma once
// Names of the subclass registry's window properties. Window-free on purpose:
// no <windows.h>, so the formatting can be built and fuzzed natively.
//
// Every number is the decimal rendering of a 32-bit signed value; handles are
// 32-bit significant, so a handle contributes its low 32 bits read as signed.
#include <cstdint>
#include <string>

// The low 32 bits of a handle's value, read as a signed number.
std::int32_t HandleKey(std::uintptr_t handleValue) noexcept;

// "<hWnd>": the window's procedure from before its first attachment.
std::wstring OldProcPropName(std::int32_t hWnd);
// "C<hWnd>": attachments on the window over all messages and clients.
std::wstring AttachCountPropName(std::int32_t hWnd);
// "<hWnd>#<iMsg>C": clients attached to one message.
std::wstring MessageCountPropName(std::int32_t hWnd, std::int32_t iMsg);
// "<hWnd>#<iMsg>#<n>": the n-th client of one message (n from 1).
std::wstring ClientSlotPropName(std::int32_t hWnd, std::int32_t iMsg, std::int32_t n);
