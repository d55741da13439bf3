#pragma once

class Navigator;

// The start-up sequence: the work folder, every window, the captions, then
// the welcome page. False when the program could not start; it has said why.
bool StartApplication();

// The windows of the running program; nothing before start-up.
Navigator* TheNavigator();

// Deletes every window; a test ends the program this way.
void DestroyWindows();
