#pragma once

// The start-up sequence: enters the work folder, creates every window once,
// computes the work-file paths, labels every window from the catalogue and
// shows the welcome page. False when the program could not start (already
// reported to the user); the process should then end with a non-zero code.
bool StartApplication();

// The flows that a page starts on a page of a later layer.
void ConnectFlows();
