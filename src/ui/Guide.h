#pragma once

#include <QString>

// Opens the user guide shipped with the program in the desktop's browser at a
// section ("set-all"). The guide is one HTML page per language in the folder
// "guide" of the work folder: the Spanish one for the Spanish catalogue, the
// English one otherwise. When it is not there or cannot be shown, a message
// says so.
void OpenGuide(const QString& section);
