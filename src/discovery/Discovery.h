#pragma once

#include <QString>

// Pads a text with blanks, or cuts it, to exactly the width.
QString PadField(const QString& text, int width);

// One entry of the node list: MAC (12), blank, network identifier (21),
// blank, alias (10).
QString NodeLine(const QString& mac, const QString& networkId, const QString& alias);

// The MAC of a node line: its first 12 characters.
QString LineMac(const QString& line);

// The network identifier of a node line: characters 13 to 33, trimmed, so at
// most its first 20 characters survive the list.
QString LineNetworkId(const QString& line);

// Reads the discovery file. True when a local node was found. When the file
// exists the loader page's interface list is emptied, and refilled from it
// when no node was found.
bool CheckDiscoveryResult();

// Finds the local node and walks the powerline network from it, filling the
// node page. Shows the loader page instead when no local node is found.
void DiscoverNodes();
