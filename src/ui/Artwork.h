#pragma once

class QLabel;
class QString;

// Shows one of the program's drawings (resources/art, built into the program;
// `name` without its ".svg") in a picture label, without a frame: fitted into
// the label with its proportions kept, drawn again at the screen's pixel
// density whenever the label changes size or screen, so it stays crisp at
// every scaling.
void SetArtwork(QLabel* label, const QString& name);
