#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The walk over the powerline network: from the local node, each listed node
// is asked for the nodes it hears, with the password sequence (the local
// node's password, the default password, then one the user types). The node
// page and the command line each present it through a WalkView.

// Pads a text with blanks, or cuts it, to exactly the width.
QString PadField(const QString& text, int width);

// Widths of the MAC and network-identifier fields of a node line; one blank
// follows each.
inline constexpr int kMacField = 12;
inline constexpr int kNetworkIdField = 21;

// One entry of the node list: MAC (12), blank, network identifier (21),
// blank, alias (10).
QString NodeLine(const QString& mac, const QString& networkId, const QString& alias);

// The MAC of a node line: its first 12 characters.
QString LineMac(const QString& line);

// The network identifier of a node line: characters 13 to 33, trimmed, so at
// most its first 20 characters survive the list.
QString LineNetworkId(const QString& line);

// The discovery file's two forms: the local node with its interface number
// and the host's interfaces; or, when no node was found, the interfaces.
struct DiscoveryFile {
    bool found = false;
    QString localMac;
    qint16 interfaceNumber = 0;
    QStringList interfaces;
};

// Reads the discovery file's lines. An empty file finds no node; any first
// line but "E" names the local node.
DiscoveryFile ParseDiscoveryFile(const QStringList& lines);

// Reads the discovery tool's file, absent or empty when the tool wrote none;
// a local node found there becomes the session's local and selected node.
DiscoveryFile ReadDiscoveryFile();

// Runs the discovery tool and reads its file.
DiscoveryFile FindLocalNode();

// A node the walk listed, and the password it accepted during the walk
// (empty when it accepted none or was not asked).
struct FoundNode {
    QString mac;
    QString networkId;
    QString password;
    bool local = false;
};

// One request of the walk, from its start to its end; destroying it ends it.
class WalkStep {
public:
    virtual ~WalkStep() = default;
    // Ends the step before it is destroyed; later calls do nothing.
    virtual void finish() = 0;
};

// What the walk shows and asks as it goes.
class WalkView {
public:
    virtual ~WalkView() = default;
    virtual QString localNodeLine() const = 0;
    virtual QStringList nodeLines() const = 0;
    virtual void setLocalNodeLine(const QString& line) = 0;
    virtual void addNodeLine(const QString& line) = 0;
    // The password the user gives for a node; empty when none.
    virtual QString askPassword(const QString& prompt) = 0;
    // The user gave up on the local node's password.
    virtual void enterLockedState(const QString& mac) = 0;
    virtual std::unique_ptr<WalkStep> beginStep(const QString& message) = 0;
};

struct WalkResult {
    enum class End {
        Listed,        // the nodes are listed
        LocalRefused,  // the local node refused every password it was given
        Locked,        // the user gave up on the local node's password
    };
    End end = End::Listed;
    // The connected node first, then the list's entries in their order.
    QList<FoundNode> nodes;
};

// Walks the network from the session's local node, which must be selected.
// A remote node that gives no answer is passed over, and the nodes passed so
// are named together after the walk.
WalkResult WalkNetwork(WalkView& view);

// Asks the selected node for the keys with the node password, the progress
// moving from 2/4 to 4/4: nothing when the request could not be written,
// otherwise whether the node answered.
std::optional<bool> ReadSelectedNode(const QStringList& keys);
