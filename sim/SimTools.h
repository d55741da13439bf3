#pragma once

// The three tools the assistant runs, as whole programs: each works in the
// current folder and on the network state file (see networkFilePath).

#include <QByteArray>
#include <QStringList>

#include "SimNetwork.h"

namespace kaldorsim {

// The arguments after the program name. A tool run is short, and the tools
// need no application object, whose set-up would be a good part of each run.
QStringList toolArguments(int argc, char* argv[]);

// The text of macdiscover.tmp: the node cabled to the host and the host's
// interfaces, or "E" and the interfaces when no node answers there.
QByteArray discoveryText(const Network& net, qint64 nowMs);

// ihcp_client.exe "<request file>" -i eth<N>: writes ihcp_client.tmp.
int runClientTool(const QStringList& arguments);

// MacDiscover.exe: writes macdiscover.tmp.
int runDiscoverTool();

// winl2fwserver.exe "<firmware file>" <interface>: serves the image and
// writes winl2fwserver.tmp with its result code.
int runFirmwareServerTool(const QStringList& arguments);

}  // namespace kaldorsim
