#pragma once
// What the keyboard hook needs of a non-client engine (cNCCalcSize): whether
// its window is active, and a way to offer it an Alt+key press.
#include "plumbing/RefCounted.h"

class INCEngine : public virtual RefCounted {
public:
    // True while the engine's window is the active window.
    virtual bool WindowActive() const = 0;
    // Offers the virtual key of an Alt+key press; non-zero when it was taken
    // (the key then never reaches the window).
    virtual int HandleAltKey(int vKey) = 0;
};
