#pragma once

#include <QString>
#include <functional>

#include "node/NodeAccess.h"

class QWidget;

// New firmware through the layer-2 firmware server winl2fwserver.exe, which
// the program starts with the firmware file and the host interface to serve
// on, and which leaves its result code in winl2fwserver.tmp.

// "winl2fwserver.exe "<file>" <interface>": the file stays one argument,
// blanks and all.
QString FirmwareServerCommandLine(const QString& firmwareFile, int interfaceArgument);

// Deletes the server's result file when present.
void DeleteFirmwareServerResult();

// First line of the server's result file, or the text errReceiving when the
// file is missing.
QString ReadFirmwareServerResult();

// The leading number of the server's result line; 0 (success) when it has none.
qint16 FirmwareServerResultCode();

// False when the server never ran to its end (its exit code tells): a
// missing result file then means nothing was served, not success. A server
// that could not start has been reported already.
bool FirmwareServerRan(int exitCode);

// Tells the user of a server that crashed; nothing for other exit codes.
void ReportServerCrash(int exitCode);

// Dialog text of a server error code; empty outside 1 to 9.
QString UpgradeErrorShortText(qint16 code);

// The short error dialog of a server error code, owned by the calling window;
// returns when the user closes it.
void ShowFirmwareServerError(QWidget* owner, qint16 code);

// The page whose properties cdlOpenTitle and cdlOpenFilter give the firmware
// file dialog its title and filter: the loader page.
void SetFirmwareDialogTexts(QWidget* page);

// The loader page's file-open dialog, over the owner. The chosen path, empty
// when cancelled. The dialog may change folders: the current folder is the
// work folder again afterwards, as every tool expects.
QString ChooseFirmwareFile(QWidget* owner);

// Node status texts compare in lower case and by containment.
bool StatusContains(const QString& status, QLatin1String word);

// A status the node reports, as the user reads it: a known status word, alone
// or followed by ":" and the node's details, in the catalogue's language;
// anything else as received.
QString NodeStatusText(const QString& status);

// The advanced window's request that tells the node to fetch new firmware
// from the layer-2 server; false, after telling the user, when not written.
bool WriteL2UpgradeRequest();

// The advanced window's upgrade of the selected node: the server serves the
// file while the node is told to fetch it, then the node's status is polled
// until it has written the firmware, and resetNode restarts it before the
// user is told. The window is disabled meanwhile.
void UpgradeSelectedNode(QWidget* window, const QString& firmwareFile,
                         const std::function<void()>& resetNode);

// The status poll after a transfer ends after this much waiting between
// polls (five minutes) when the node reports neither an end nor a failure.
inline constexpr int kL2PollLimitMs = 300000;
inline constexpr int kL2PollPauseMs = 2000;
