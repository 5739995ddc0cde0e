#pragma once
// Errors raised by the subclassing service and the timers: a number (the code
// OR the object-error base), a source (the executable's base name followed by
// ".WindowProc") and a description.
#include <cstdint>
#include <stdexcept>
#include <string>

constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

class PlumbingError : public std::runtime_error {
public:
    PlumbingError(std::int32_t code, std::wstring description);

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Source() const noexcept { return source_; }
    const std::wstring& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::wstring source_;
    std::wstring description_;
};

// "<executable base name>.WindowProc"
std::wstring PlumbingErrorSource();
