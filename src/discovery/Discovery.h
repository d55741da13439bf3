#pragma once

#include <QString>
#include <QStringList>
#include <optional>

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
// and the host's interfaces for the advanced window; or, when no node was
// found, the interfaces for the loader page.
struct DiscoveryFile {
    bool found = false;
    QString localMac;
    qint16 interfaceNumber = 0;
    QStringList interfaces;
};

// Reads the discovery file's lines. An empty file finds no node; any first
// line but "E" names the local node.
DiscoveryFile ParseDiscoveryFile(const QStringList& lines);

class frmConnect;

// A node the walk listed, as the node page shows it, and the password it
// accepted during the walk (empty when it accepted none or was not asked).
struct FoundNode {
    QString mac;
    QString networkId;
    QString password;
    bool local = false;
};

// How a discovery ended, and what it found for the interface lists.
struct DiscoveryResult {
    enum class End {
        NodePage,     // the node page lists the network
        LoaderPage,   // no local node: the loader page takes over
        WelcomePage,  // the local node refused every password it was given
        Locked,       // the user gave up on the local node's password
    };
    End end = End::NodePage;
    // The discovery file was read: the loader page's list becomes
    // loaderInterfaces, and with a local node the advanced window's list
    // becomes hostInterfaces.
    bool fileRead = false;
    QStringList loaderInterfaces;
    QStringList hostInterfaces;
    // The connected node first, then the list's entries in their order.
    QList<FoundNode> nodes;
};

// Asks the selected node for the keys with the node password, the bar moving
// from 2/4 to 4/4: nothing when the request could not be written, otherwise
// whether the node answered.
std::optional<bool> ReadSelectedNode(const QStringList& keys);

// Reads the discovery tool's file; a local node found there becomes the
// session's local and selected node.
DiscoveryResult ReadDiscoveryResult();

// Finds the local node and walks the powerline network from it, filling the
// node page, which is shown meanwhile.
DiscoveryResult DiscoverNodes(frmConnect* page);

// The connected node's notch setting and its options, read for the set-all
// page; nothing, after telling the user, when it could not be read.
struct NotchSetting {
    QStringList options;
    QString current;
};
std::optional<NotchSetting> ReadLocalNotches();
