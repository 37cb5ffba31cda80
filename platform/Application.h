#pragma once

// The application's orderly termination request: the program ends once control is
// back in the event loop (or the loop ends as soon as it starts).

namespace platform {

void RequestTermination();
bool TerminationRequested();
void ResetTermination(); // tests

} // namespace platform
