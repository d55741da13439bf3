#pragma once

#include <Qt>

// A window of its own that the user can move, minimise and close, but not
// maximise: its layout is made for its size.
inline constexpr Qt::WindowFlags kWindowWithoutMaximise =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
