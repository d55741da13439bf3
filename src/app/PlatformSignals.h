#pragma once

#include <functional>

// Turns the termination signals (interrupt, terminate, hang-up) into a call of
// the handler from the event loop, so the program ends through its ordinary
// exit steps and removes its work files. Call once, after the application
// object exists.
void HandleTerminationSignals(std::function<void()> handler);
