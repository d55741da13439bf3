#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Giving several nodes the same network settings in one action.

// The most nodes one action configures.
inline constexpr int kMaxSetAllTargets = 26;

// A 12-character MAC as six pairs separated by ":" (0012AB34CD56 gives
// 00:12:AB:34:CD:56).
QString FormatMacWithColons(const QString& mac);

// How status lines and messages name a node: its alias in single quotes, else
// its MAC with colons.
QString NodeLabel(const QString& mac);

// What every node of one action receives. An empty new password leaves the
// nodes' passwords as they are.
struct SetAllSettings {
    QString networkId;
    QString key;
    QString notches;
    QString newPassword;
};

enum class PostOutcome { Accepted, Failed, NotWritten };

// Sends the settings to one node with the password known for the connected
// node, which every selected node accepted before the page opened. Accepted
// when the node answered "0"; NotWritten, after telling the user, when the
// request file could not be written.
PostOutcome PostSetAllSettings(const QString& mac, const SetAllSettings& settings);

// Configures the nodes in up to three passes: every node of a pass is sent its
// settings, the network is given time to settle, then every node is checked
// with the new settings, and the nodes that fail make up the next pass. When
// every node took a new password, it becomes the connected node's known one.
// Returns the nodes that still fail, or nothing when a request could not be
// written and the action was abandoned.
std::optional<QStringList> ConfigureNodes(QStringList targets, const SetAllSettings& settings);
