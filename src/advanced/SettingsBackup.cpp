// Backups of the node's settings: "Save settings..." writes the last read of
// all parameters to a file; "Restore settings..." and "Compare with..." set
// the node beside a backup file or another node of the network.
#include <QDateTime>
#include <QDir>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Backup.h"
#include "channel/Response.h"
#include "frmCompare.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "node/NodeAccess.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui_frmConfigAdv.h"

namespace {

QString Text(const char* key, const char* fallback) {
    return GetTextOr(QLatin1String(key), QLatin1String(fallback));
}

QString BackupFilter() {
    return Text("cdlBackupFilter", "Node backups (*.kbk);;All files (*)");
}

// What each group the node did not take answered.
QStringList Refusals(const RestoreRun& run) {
    QStringList lines;
    for (const GroupResult& result : run.results) {
        if (result.answer != NodeAnswer::Answered) {
            lines << GroupCaption(result.group) + QStringLiteral(": ") + result.firstLine;
        }
    }
    return lines;
}

// How the comparison names a backup: by the time it was saved.
QString BackupName(const NodeBackup& backup) {
    return Text("colCmpBackup", "Backup of %1")
        .arg(backup.saved.toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")));
}

QStringList Captions(const QList<SettingsGroup>& groups) {
    QStringList captions;
    for (const SettingsGroup group : groups) {
        captions << GroupCaption(group);
    }
    return captions;
}

}  // namespace

void frmConfigAdv::cmdSaveSettings_Click() {
    const NodeBackup backup = BackupFromResponse(lastRead_, lastReadMac_, LookupAlias(lastReadMac_),
                                                 QDateTime::currentDateTimeUtc());
    // Nothing read yet, or the read held no settings: no backup to write.
    if (backup.parameters.isEmpty()) {
        MsgBox(Session().errLoadConf, MsgIcon::Exclamation);
        return;
    }
    const QString path =
        TheDialogs().saveFileName(this, Text("cdlSaveSettings", "Save settings"), BackupFilter());
    if (path.isEmpty()) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!WriteBackupFile(path, backup)) {
        MsgBox(WriteFailedText(shown), MsgIcon::Exclamation);
        return;
    }
    MsgBox(Text("msgSettingsSaved",
                "The settings of %1 have been saved in %2. The file holds the node's key and "
                "passwords in the clear, so only your user can read it.")
               .arg(NodeName(lastReadMac_), shown),
           MsgIcon::Information);
}

void frmConfigAdv::FillCompareList() {
    const QSignalBlocker quiet(ui->cboCompareWith);
    ui->cboCompareWith->clear();
    ui->cboCompareWith->addItem(Text("txtCmpFile", "a backup file"));
    for (const FoundNode& node : nodes_) {
        if (node.mac != Session().SelectedMac) {
            ui->cboCompareWith->addItem(NodeName(node.mac), node.mac);
        }
    }
}

std::optional<NodeBackup> frmConfigAdv::ChooseBackup(const char* titleKey, const char* title) {
    const QString path = TheDialogs().openFileName(this, Text(titleKey, title), BackupFilter());
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const BackupRead read = ReadBackupFile(path);
    if (!read.backup) {
        MsgBox(BackupErrorText(read), MsgIcon::Exclamation, Text(titleKey, title));
    }
    return read.backup;
}

void frmConfigAdv::cmdRestoreSettings_Click() {
    const std::optional<NodeBackup> backup =
        ChooseBackup("cdlRestoreSettings", "Restore the node's settings");
    // The node is compared as it is now, not as the window last read it.
    if (!backup || !ReloadNode(this)) {
        return;
    }
    const SessionState& s = Session();
    const NodeSettings node = SettingsFromResponse(lastRead_);
    const QString model = SettingValue(node, u"MODEL").value_or(QString());
    if (backup->model != model) {
        MsgBox(
            Text("errBackupModel",
                 "The backup holds the settings of a %1 node; %2 is a %3. Nothing has been sent.")
                .arg(backup->model, NodeName(s.SelectedMac), model),
            MsgIcon::Exclamation);
        return;
    }
    frmCompare window(this, NodeName(s.SelectedMac), BackupName(*backup), true);
    window.showDifferences(CompareSettings(node, backup->parameters));
    connect(&window, &frmCompare::restoreRequested, this,
            [this, &window, &backup](const QList<SettingsGroup>& groups) {
                RestoreGroups(&window, backup->parameters, groups);
            });
    CentreOn(&window, this);
    TheDialogs().execModal(&window);
}

void frmConfigAdv::RestoreGroups(frmCompare* window, const NodeSettings& file,
                                 const QList<SettingsGroup>& groups) {
    const SessionState& s = Session();
    const QString name = NodeName(s.SelectedMac);
    const bool nodeOnWire = s.SelectedMac == s.LocalMac;
    RestoreRun run;
    QList<SettingsGroup> onWireOnly;
    {
        const BusyOperation operation(window, s.lblSave);
        const RestorePlan plan =
            PlanRestore(SettingsFromResponse(lastRead_), file, groups, nodeOnWire);
        onWireOnly = plan.onWireOnly;
        run = RunRestore(plan, nodeOnWire);
    }
    QStringList refusals = Refusals(run);
    if (!onWireOnly.isEmpty()) {
        refusals << Text("errRestoreOnWire",
                         "Not sent, as they can only go together to the node connected to this "
                         "computer: %1.")
                        .arg(Captions(onWireOnly).join(QStringLiteral(", ")));
    }
    if (!run.notSent.isEmpty()) {
        refusals << Text("errRestoreNotSent", "Not sent: %1.")
                        .arg(Captions(run.notSent).join(QStringLiteral(", ")));
    }
    if (run.leftNetwork && !nodeOnWire) {
        // The node no longer shares this computer's network: nothing more
        // reaches it from here, and the network is discovered anew.
        const QString text =
            Text("msgRestoreLeft",
                 "%1 took its new network settings and left this computer's network.")
                .arg(name);
        MsgBox((QStringList{text} + refusals).join(QLatin1Char('\n')), MsgIcon::Exclamation);
        window->accept();
        ShowAgainOrRediscover();
        return;
    }
    if (!ReloadNode(window)) {
        if (!refusals.isEmpty()) {
            MsgBox(refusals.join(QLatin1Char('\n')), MsgIcon::Exclamation, s.errSaving);
        }
        return;
    }
    const QList<SettingDifference> remaining =
        CompareSettings(SettingsFromResponse(lastRead_), file);
    window->showDifferences(remaining);
    if (remaining.isEmpty() && refusals.isEmpty()) {
        MsgBox(Text("msgRestored", "The settings of %1 now equal the backup's.").arg(name),
               MsgIcon::Information);
        return;
    }
    const QString text = Text("errRestoreIncomplete",
                              "Some settings of %1 still differ from the backup; the window "
                              "lists them.")
                             .arg(name);
    MsgBox((QStringList{text} + refusals).join(QLatin1Char('\n')), MsgIcon::Exclamation,
           s.errSaving);
}

void frmConfigAdv::cmdCompare_Click() {
    const SessionState& s = Session();
    const QString mac = ui->cboCompareWith->currentData().toString();
    NodeSettings other;
    QString otherName;
    if (mac.isEmpty()) {
        const std::optional<NodeBackup> backup =
            ChooseBackup("cdlCompareSettings", "Compare with a backup");
        if (!backup) {
            return;
        }
        other = backup->parameters;
        otherName = BackupName(*backup);
    } else {
        const auto found = std::find_if(nodes_.begin(), nodes_.end(),
                                        [&mac](const FoundNode& n) { return n.mac == mac; });
        if (found == nodes_.end()) {
            return;
        }
        SettingsRead read;
        {
            const SelectedNodeSwitch other(
                mac, found->password.isEmpty() ? s.LocalPassword : found->password);
            const BusyOperation operation(this, s.lblConnect + QLatin1Char(' ') + NodeName(mac));
            read = ReadSelectedSettings();
        }
        if (read.answer != NodeAnswer::Answered) {
            if (read.answer != NodeAnswer::NotWritten) {
                MsgBox(read.lines.value(0, s.errReceiving), MsgIcon::Exclamation, s.errReceiving);
            }
            return;
        }
        other = read.settings;
        otherName = NodeName(mac);
    }
    if (!ReloadNode(this)) {
        return;
    }
    frmCompare window(this, NodeName(s.SelectedMac), otherName, false);
    window.showDifferences(CompareSettings(SettingsFromResponse(lastRead_), other));
    CentreOn(&window, this);
    TheDialogs().execModal(&window);
}
