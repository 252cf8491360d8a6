// Lets calls from another thread reach an object only while it lives. The object closes the gate
// as it goes, which waits for a call under way; calls that come later find it closed and do
// nothing. A call holds the gate while it runs, so it must not wait for the closing thread.
//
// The window's handlers of the sink's events pass through one: a sink whose worker did not answer
// is left to end its run after the window has gone (ComponentRelease.h).
#pragma once

#include <mutex>

class TCallGate {
public:
    // Runs Call while the gate is open. Any thread.
    template <typename TCall> void Pass(TCall&& Call)
    {
        std::lock_guard Lock(FLock);
        if (FOpen)
            Call();
    }
    // Waits for a call under way; nothing passes afterwards. Any thread but one inside Pass.
    void Close()
    {
        std::lock_guard Lock(FLock);
        FOpen = false;
    }

private:
    std::mutex FLock;
    bool FOpen = true;
};
