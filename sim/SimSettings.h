#pragma once

// What a node does with the settings of a POST request: checks every line,
// then applies all of them or none.

#include <QList>
#include <QPair>
#include <QString>

#include "SimNetwork.h"

namespace kaldorsim {

using SettingLines = QList<QPair<QString, QString>>;

struct SettingsOutcome {
    QString error;                // empty when the node accepted the request
    bool networkChanged = false;  // NET_ID_STR or ENCRYPT_KEY_STR took a new value
    bool settles = false;         // a network setting changed: the node rejoins the network
    bool hardwareReset = false;   // HW_RESET_OK=Ok was confirmed
    bool layer2Upgrade = false;   // FLUP_L2_OK=Ok asked for a layer-2 firmware server
    bool fileUpdate = false;      // FLUP_OK=Ok ordered a firmware update from a file server
};

// Applies `lines` to `node` (its password included) when every line is valid;
// on an error the node is left exactly as it was.
SettingsOutcome applySettings(Node& node, const SettingLines& lines);

// Restarts the node now: it is off the air for its restart time, then runs
// with one more boot, its stored IP settings and the firmware last flashed.
void hardwareReset(Network& net, Node& node, qint64 nowMs);

// Factory settings, default password, boot count 1, then a restart.
void factoryReset(Network& net, Node& node, qint64 nowMs);

}  // namespace kaldorsim
