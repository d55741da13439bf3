#pragma once

// The node page's load step: fixes the work folder and the path of every work
// file, and reads the version text (the first catalogue lookup of the run),
// which the welcome page shows.
void LoadConnectPage();
