#pragma once

#include <QString>
#include <QStringList>

// The host's own TCP window: 128 KiB receive and send windows with window
// scaling and time stamps, handed over the way the host's system takes them.

// The registry import of those settings.
QStringList TcpWindowLines();

// The same settings as a sysctl drop-in file.
QStringList TcpWindowSysctlLines();

// The drop-in's name in the work folder.
inline const QString kTcpWindowSysctlFile = QStringLiteral("60-kaldor-tcp-window.conf");

// Where a host keeps its TCP window settings.
enum class TcpWindowHost { Registry, Sysctl };

// The host the program is built for: Windows takes a registry import, Linux
// a sysctl drop-in file.
#ifdef Q_OS_WIN
inline constexpr TcpWindowHost kThisTcpWindowHost = TcpWindowHost::Registry;
#else
inline constexpr TcpWindowHost kThisTcpWindowHost = TcpWindowHost::Sysctl;
#endif

// Registry: writes the import, opens it with the desktop's program for it,
// tells the user and deletes it. Sysctl: writes the drop-in in the work
// folder, where it stays, and tells the user the command that applies it.
void GiveTcpWindowSettings(TcpWindowHost host);
