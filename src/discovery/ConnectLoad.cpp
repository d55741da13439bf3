#include "ConnectLoad.h"

#include <QDir>

#include "app/Application.h"
#include "lang/Catalogue.h"
#include "node/WorkFiles.h"

void LoadConnectPage() {
    SessionState& s = Session();
    SetWorkFiles(QDir::currentPath());
    s.VersionText =
        GetText(QStringLiteral("version")) + QLatin1Char('.') + QString::number(kRevision);
    s.CtrlKeyDown = false;
}
