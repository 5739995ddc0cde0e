#pragma once
// Client interface of the message subclassing service. A client attaches to
// (window, message) pairs through GSubclass and is called for each of them.
#include <windows.h>

#include <cstdint>

#include "plumbing/RefCounted.h"

enum MsgResponseMode : std::int32_t {
    mrConsume = 0,        // only the clients handle the message
    mrPreviousAfter = 1,  // previous procedure after the clients; honoured from the last client
    mrPreviousFirst = 2,  // previous procedure before the clients; honoured from the first client
};

class ISubclass : public virtual RefCounted {
public:
    // Get/set how you will respond to a message. Raised whenever a message is
    // encountered. Call the CurrentMessage property to determine what message
    // you are currently responding to.
    virtual MsgResponseMode MsgResponse() const = 0;
    // Never called by the service; clients may ignore it.
    virtual void MsgResponse(MsgResponseMode) {}

    // Raised whenever a message you have subclassed is sent.
    virtual LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) = 0;
};
