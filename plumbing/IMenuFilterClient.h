#pragma once
// What the menu-loop filter needs of the popup tracker (cToolbarMenu).
#include <windows.h>

#include "plumbing/RefCounted.h"

class IMenuFilterClient : public virtual RefCounted {
public:
    // A message of the system's menu loop; set handled to swallow it.
    virtual void MenuInput(const MSG& msg, bool& handled) = 0;
};
