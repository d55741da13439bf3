#pragma once

// Who hears whom on the powerline, what a node's connection table holds, and
// which nodes the client can reach through the node cabled to the host.

#include <QList>

#include "SimNetwork.h"

namespace kaldorsim {

inline const QString kForeignNetwork = QStringLiteral("Network #1");

bool hears(const Node& listener, const Node& other);

// The online nodes `node` hears, in the network's node order.
QList<const Node*> connectionTable(const Network& net, const Node& node, qint64 nowMs);

// The two connection lists as the node reports them: MACs, and for each the
// network identifier, or "Network #1" when the other node uses another key
// or encryption mode.
QString connectionMacList(const QList<const Node*>& table);
QString connectionNetIdList(const Node& node, const QList<const Node*>& table);

// The online node cabled to host interface `interfaceIndex`, or nullptr.
const Node* hostNode(const Network& net, int interfaceIndex, qint64 nowMs);

// True when a chain of online nodes sharing the local node's key and
// encryption mode, each pair hearing each other, leads from `local` to
// `target`.
bool canReach(const Network& net, const Node& local, const Node& target, qint64 nowMs);

}  // namespace kaldorsim
