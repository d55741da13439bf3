#pragma once

#include <QString>

class QWidget;

// Factory reset of the selected node from the node page, which runs a
// discovery after it in any case: asks for the factory password, resets,
// waits for the restart and checks that the node started afresh. Leaves the
// node password as it was. The advanced window's own factory reset asks
// the node on the wire only.
void FactoryResetConnect(QWidget* page);
