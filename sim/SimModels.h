#pragma once

// The node models the simulator knows and their factory settings, plus the
// text forms nodes use for lists and hexadecimal fields.

#include <QString>
#include <QStringList>

#include "SimNetwork.h"

namespace kaldorsim {

inline const QString kModelBasic = QStringLiteral("KPL-200");  // no AES encryption
inline const QString kModelAes = QStringLiteral("KPL-510A");   // AES-capable
inline const QString kDefaultPassword = QStringLiteral("kaldor");

QStringList modelNames();

// Every parameter of a node of `model` as it leaves the factory; the MAC is
// part of the parameters (MAC_ADDR). Unknown models get the basic model's set.
Parameters factoryParameters(const QString& model, const QString& mac);

// Simulated restart times of a model.
int modelRestartMs(const QString& model);
int modelFactoryResetRestartMs(const QString& model);

// A factory-fresh node of `model`.
Node factoryNode(const QString& model, const QString& mac, const QString& label);

// The order in which a node lists its parameters when asked for all of them
// (the connection lists, computed from the network, come last).
const QStringList& parameterOrder();

// Keys whose value is a quoted list of eight class entries, one per class.
bool isClassListKey(const QString& key);

// "'a','b'" from {"a", "b"} and back. Pieces shorter than two characters
// give an empty entry.
QString quotedList(const QStringList& pieces);
QStringList unquotedList(const QString& value);

// The options a node offers for `key` (from its "<key>_OPTIONS" parameter or
// the option key that governs it).
QStringList optionsOf(const Parameters& params, const QString& optionsKey);

// Hexadecimal pattern or mask as the node stores it: upper case, padded on
// the right with "0" to 16 digits.
QString paddedHex(const QString& hex);

}  // namespace kaldorsim
