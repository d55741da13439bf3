#pragma once

class QWidget;

// Makes a window usable with the keyboard and by screen readers: each input
// gets the label beside it as its buddy (its accessible name, and Alt plus
// the label's marked letter), and Return or Enter presses the page's default
// button. Run once for each window, after its captions are set.
void PrepareKeyboard(QWidget* window);
