#pragma once

// Puts the catalogue's texts on every window, fills the cached texts of the
// session, applies the layout switches and builds the advanced window's tabs.
// Runs once, while the program starts.
void ApplyLanguage();
