#pragma once

// The network's state file. Every access holds a lock file next to it, and
// every write goes to a temporary file that is then renamed over the old one,
// so tools running at the same time never lose an update or see half a file.

#include <QString>
#include <functional>
#include <optional>

#include "SimNetwork.h"

namespace kaldorsim {

// KALDOR_SIMNET when set, else simnet.json in the current folder.
QString networkFilePath();

std::optional<Network> readNetworkFile(const QString& path, QString* error);
bool writeNetworkFile(const QString& path, const Network& net, QString* error);

// Works on the network under one lock: reads it, runs `change`, and writes
// it back when `change` returns true. `change` reports a refusal by setting
// its error text; nothing is written then.
using NetworkChange = std::function<bool(Network& net, QString* error)>;
bool updateNetworkFile(const QString& path, const NetworkChange& change, QString* error);

}  // namespace kaldorsim
