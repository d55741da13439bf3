// "Save settings...": the node's settings, as its last read of all parameters
// answered them, into a backup file of the user's choice.
#include <QDateTime>
#include <QDir>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Backup.h"
#include "channel/Response.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"

void frmConfigAdv::cmdSaveSettings_Click() {
    const NodeBackup backup = BackupFromResponse(lastRead_, lastReadMac_, LookupAlias(lastReadMac_),
                                                 QDateTime::currentDateTimeUtc());
    // Nothing read yet, or the read held no settings: no backup to write.
    if (backup.parameters.isEmpty()) {
        MsgBox(Session().errLoadConf, MsgIcon::Exclamation);
        return;
    }
    const QString path = TheDialogs().saveFileName(
        this, GetTextOr(QStringLiteral("cdlSaveSettings"), QStringLiteral("Save settings")),
        GetTextOr(QStringLiteral("cdlBackupFilter"),
                  QStringLiteral("Node backups (*.kbk);;All files (*)")));
    if (path.isEmpty()) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!WriteBackupFile(path, backup)) {
        MsgBox(WriteFailedText(shown), MsgIcon::Exclamation);
        return;
    }
    MsgBox(GetTextOr(QStringLiteral("msgSettingsSaved"),
                     QStringLiteral("The settings of %1 have been saved in %2. The file holds the "
                                    "node's key and passwords in the clear, so only your user "
                                    "can read it."))
               .arg(NodeName(lastReadMac_), shown),
           MsgIcon::Information);
}
