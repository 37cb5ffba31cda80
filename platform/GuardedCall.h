#pragma once

// Every handler that Qt calls (slots, timer and event handlers) runs through
// GuardedCall: an exception must never cross the Qt event loop, which would end
// the program. A failure is shown in the program's error box instead.

#include <concepts>
#include <functional>
#include <utility>

namespace platform {

// Runs the handler; platform::Exception, std::exception and anything else it
// raises is shown with ShowErrorBox (application title, the message, OK).
void GuardedCall(const std::function<void()> &handler) noexcept;

// A callable for connect() that runs the handler through GuardedCall, passing
// on the signal's arguments.
template <typename Handler> auto Guarded(Handler handler) {
    // Constrained, so that connect() finds how many of the signal's arguments it takes.
    return [handler = std::move(handler)](
        auto &&...args) requires std::invocable<const Handler &, decltype(args)...> {
        GuardedCall([&] { handler(std::forward<decltype(args)>(args)...); });
    };
}

} // namespace platform
