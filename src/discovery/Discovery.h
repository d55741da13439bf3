#pragma once

#include <QString>
#include <QStringList>

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

// Reads the discovery file. True when a local node was found. When the file
// exists the loader page's interface list is emptied, and refilled from it
// when no node was found.
bool CheckDiscoveryResult();

// Finds the local node and walks the powerline network from it, filling the
// node page. Shows the loader page instead when no local node is found.
void DiscoverNodes();
