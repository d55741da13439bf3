#pragma once

// Changes made to a network from outside the powerline: by the kaldor-sim
// command line and by tests. Nodes are named by MAC or label. Each returns
// false with a readable `error` when the change does not fit the network.

#include <QString>
#include <QStringList>

#include "SimNetwork.h"

namespace kaldorsim {

// The fault target that stands for the discovery tool instead of a node.
inline const QString kDiscoverTarget = QStringLiteral("discover");

// Any existing parameter, with no check of the value (tests need odd values).
bool setParameter(Network& net, const QString& node, const QString& key, const QString& value,
                  QString* error);
// Takes a parameter away from a node, or gives it one it lacks.
bool removeParameter(Network& net, const QString& node, const QString& key, QString* error);
bool addParameter(Network& net, const QString& node, const QString& key, const QString& value,
                  QString* error);
bool setFault(Network& net, const QString& target, const QString& knob, const QString& value,
              QString* error);
bool setPower(Network& net, const QString& node, bool on, QString* error);
bool setLoaderMode(Network& net, const QString& node, bool on, QString* error);
// `heard` lists nodes by MAC or label; {"all"} restores hearing every node,
// {"none"} makes the node hear no other.
bool setHears(Network& net, const QString& node, const QStringList& heard, QString* error);
bool setPassword(Network& net, const QString& node, const QString& password, QString* error);
// Cables the node to host interface `interfaceName`, or to none with "none".
bool attachNode(Network& net, const QString& node, const QString& interfaceName, QString* error);
bool setTimeScale(Network& net, double factor, QString* error);
// Lets `ms` milliseconds pass on the network's clock.
bool advanceClock(Network& net, qint64 ms, QString* error);
bool setSettleTime(Network& net, int ms, QString* error);
bool setNetworkChangeAnswer(Network& net, const QString& answer, QString* error);

}  // namespace kaldorsim
