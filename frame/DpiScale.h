#pragma once
// Pixel sizes drawn for 96 DPI, brought to a window's DPI. Each window has a
// DPI of its own (its monitor's), which changes when it moves to a monitor
// of another DPI: whoever draws takes the DPI as a parameter.
constexpr int kBaseDpi = 96;

// px (a 96-DPI size or position) at dpi, rounded to the nearest pixel, halves
// away from zero. A dpi of 0 or less counts as 96.
constexpr int ScaleToDpi(int px, int dpi) noexcept {
    if (dpi <= 0 || dpi == kBaseDpi) return px;
    const long long n = static_cast<long long>(px) * dpi;
    return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi : -((-n + kBaseDpi / 2) / kBaseDpi));
}

// True when dpi is a whole multiple of 96 (192, 288): pixels scale exactly.
constexpr bool IsWholeScale(int dpi) noexcept {
    return dpi > 0 && dpi % kBaseDpi == 0;
}
