#include "TcpWindow.h"

#include <QDir>
#include <QFile>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"

QStringList TcpWindowLines() {
    return {QStringLiteral("Windows Registry Editor Version 5.00"),
            QStringLiteral(
                R"([HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters])"),
            QStringLiteral(R"("TcpWindowSize"=dword:00020000)"),
            QStringLiteral(R"("GlobalMaxTcpWindowSize"=dword:00020000)"),
            QStringLiteral(R"("Tcp1323Opts"=dword:00000003)")};
}

// Hands the import file to the program the desktop opens it with, tells the
// user, then deletes the file.
void frmConfigAdv::cmdTcpWindow_Click() {
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
