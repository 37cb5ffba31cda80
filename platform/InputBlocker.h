#pragma once

// Stand-in for BlockInput: blocks or releases keyboard and mouse input for the
// duration of an update run.
//
// On Windows this is the real BlockInput call (the whole desktop; it needs the
// right to block input and fails without it). Elsewhere an event filter on the
// application swallows keyboard, mouse, wheel, touch, tablet, context-menu and
// shortcut events of every window of this program, while painting, timers and
// programmatic calls go on, so the window keeps repainting during the run.
//
// Blocking twice and releasing once releases: like BlockInput there is no count.
// Returns whether the call succeeded; false without an application object or
// when called from a thread other than the application's.

namespace platform {

class InputBlocker {
public:
    static bool Block(bool block);
    static bool IsBlocked();
};

} // namespace platform
