#pragma once

#include <QStringList>

// Sends settings of the advanced window's node in one POST request: the window
// is disabled and the status window shown while the client runs. The settings
// follow the request's two header lines, in the given order. True when the
// node accepted them; otherwise the user has been told why (the client's
// first response line, or the writer's own message) and false is returned.
// The window comes back enabled but is not shown again: that is the caller's
// step, after its own success action.
bool SendSettings(const QStringList& settings);

// After a change that may take the node out of the host's network: the window
// is shown again for the node on the wire; for any other node it is hidden
// and the network is discovered anew.
void ShowAgainOrRediscover();
