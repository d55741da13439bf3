#pragma once

#include <QString>

// Factory reset of the selected node from the advanced window: asks for the
// factory password, resets, waits for the restart and, for the node on the
// wire, checks that it started afresh. Ends with the window shown again, or
// hidden and a new discovery for any other node.
void FactoryResetAdvanced();

// The same from the node page, which runs a discovery after it in any case.
// Always checks the restart and leaves the node password as it was.
void FactoryResetConnect();

// The factory-reset request for the selected node; false, after telling the
// user, when it could not be written.
bool WriteFactoryResetRequest(const QString& password);
