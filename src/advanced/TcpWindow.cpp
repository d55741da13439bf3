#include "TcpWindow.h"

#include <QDir>
#include <QFile>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"

namespace {

// The window sizes of both imports: hexadecimal 20000 bytes.
constexpr int kWindowBytes = 0x20000;

// The lines, each ended by a line feed as the system's tools expect.
QByteArray UnixText(const QStringList& lines) {
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

void GiveToRegistry() {
    const QString path = Session().TcpWindowFile;
    if (WriteLines(path, TcpWindowLines())) {
        // The registry editor asks the user itself; whether one was started
        // at all is not ours to report.
        TheDialogs().openDocument(path);
        MsgBox(GetText(QStringLiteral("msgTCP")), MsgIcon::NoIcon);
    } else {
        MsgBox(WriteFailedText(QDir::toNativeSeparators(path)), MsgIcon::Exclamation);
    }
    QFile::remove(path);
}

// Changing the kernel's settings takes root, which this program never is:
// the user applies the file, now or later.
void GiveToSysctl() {
    const QString path = JoinPath(Session().WorkDir, kTcpWindowSysctlFile);
    if (!ReplaceFileBytes(path, UnixText(TcpWindowSysctlLines()))) {
        MsgBox(WriteFailedText(path), MsgIcon::Exclamation);
        return;
    }
    MsgBox(GetText(QStringLiteral("msgTCPSysctl")).replace(QStringLiteral("%1"), path),
           MsgIcon::Information);
}

}  // namespace

QStringList TcpWindowLines() {
    return {QStringLiteral("Windows Registry Editor Version 5.00"),
            QStringLiteral(
                R"([HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters])"),
            QStringLiteral(R"("TcpWindowSize"=dword:00020000)"),
            QStringLiteral(R"("GlobalMaxTcpWindowSize"=dword:00020000)"),
            QStringLiteral(R"("Tcp1323Opts"=dword:00000003)")};
}

QStringList TcpWindowSysctlLines() {
    const QString window = QString::number(kWindowBytes);
    // Buffers as large as the window, the window as default and as maximum
    // for both directions; the smallest buffer stays the kernel's usual one.
    const QString sizes = QStringLiteral("4096 ") + window + QLatin1Char(' ') + window;
    return {QStringLiteral("net.core.rmem_max = ") + window,
            QStringLiteral("net.core.wmem_max = ") + window,
            QStringLiteral("net.ipv4.tcp_rmem = ") + sizes,
            QStringLiteral("net.ipv4.tcp_wmem = ") + sizes,
            QStringLiteral("net.ipv4.tcp_window_scaling = 1"),
            QStringLiteral("net.ipv4.tcp_timestamps = 1")};
}

void GiveTcpWindowSettings(TcpWindowHost host) {
    host == TcpWindowHost::Registry ? GiveToRegistry() : GiveToSysctl();
}

void frmConfigAdv::cmdTcpWindow_Click() {
    GiveTcpWindowSettings(kThisTcpWindowHost);
}
