#include "frmCompare.h"

#include <QHeaderView>

#include "lang/Catalogue.h"
#include "ui/WindowFlags.h"
#include "ui_frmCompare.h"

namespace {

QString Text(const char* key, const char* fallback) {
    return GetTextOr(QLatin1String(key), QLatin1String(fallback));
}

// Keys and passwords are compared but never shown.
QString Shown(const QString& key, const QString& value) {
    return IsSecretKey(key) && !value.isEmpty() ? QStringLiteral("********") : value;
}

}  // namespace

frmCompare::frmCompare(QWidget* parent, const QString& nodeName, const QString& referenceName,
                       bool restorable)
    : QDialog(parent, kWindowWithoutMaximise), ui(new Ui::frmCompare), restorable_(restorable) {
    ui->setupUi(this);
    setWindowTitle(Text("frmCompare", "Compare settings") + QStringLiteral(" - ") + nodeName);
    ui->lblCmpHeading->setText(
        Text("lblCmpHeading", "Settings of %1 compared with %2.").arg(nodeName, referenceName));
    ui->grdCompare->setHorizontalHeaderLabels({Text("colCmpParameter", "Parameter"), nodeName,
                                               referenceName, Text("colCmpGroup", "Group")});
    QHeaderView* header = ui->grdCompare->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    ui->grdCompare->verticalHeader()->hide();
    ui->lblCmpGroups->setText(Text("lblCmpGroups", "Groups to restore:"));
    ui->cmdCmpRestore->setText(Text("cmdCmpRestore", "Restore selected groups"));
    ui->cmdCmpClose->setText(Text("cmdCmpClose", "Close"));
    for (QWidget* control :
         {static_cast<QWidget*>(ui->lblCmpGroups), static_cast<QWidget*>(ui->lstCmpGroups),
          static_cast<QWidget*>(ui->cmdCmpRestore)}) {
        control->setVisible(restorable);
    }
    connect(ui->cmdCmpClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdCmpRestore, &QPushButton::clicked, this,
            [this] { emit restoreRequested(chosenGroups()); });
    connect(ui->lstCmpGroups, &QListWidget::itemChanged, this, &frmCompare::UpdateRestoreButton);
}

frmCompare::~frmCompare() = default;

void frmCompare::showDifferences(const QList<SettingDifference>& differences) {
    const QString notOffered = Text("txtCmpNotOffered", "not accepted by the node");
    ui->grdCompare->setRowCount(static_cast<int>(differences.size()));
    QList<SettingsGroup> groups;
    QList<SettingsGroup> blocked;
    for (int row = 0; row < differences.size(); ++row) {
        const SettingDifference& d = differences[row];
        QString theirs = Shown(d.key, d.otherValue);
        if (!d.offered) {
            theirs += QStringLiteral(" (") + notOffered + QLatin1Char(')');
            blocked.append(d.group);
        }
        const QStringList cells{d.key, Shown(d.key, d.nodeValue), theirs, GroupCaption(d.group)};
        for (int column = 0; column < cells.size(); ++column) {
            ui->grdCompare->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
        if (!groups.contains(d.group)) {
            groups.append(d.group);
        }
    }
    ui->lblCmpSummary->setText(
        differences.isEmpty()
            ? Text("lblCmpEqual", "No setting differs.")
            : Text("lblCmpDiffer", "Settings that differ: %1.").arg(differences.size()));
    const QSignalBlocker quiet(ui->lstCmpGroups);
    ui->lstCmpGroups->clear();
    for (const SettingsGroup group : groups) {
        auto* item = new QListWidgetItem(GroupCaption(group), ui->lstCmpGroups);
        item->setData(Qt::UserRole, static_cast<int>(group));
        if (blocked.contains(group)) {
            // A value the node does not offer cannot be sent, nor its group.
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
            item->setCheckState(Qt::Unchecked);
            item->setText(item->text() + QStringLiteral(" (") + notOffered + QLatin1Char(')'));
        } else {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
    UpdateRestoreButton();
}

QList<SettingsGroup> frmCompare::chosenGroups() const {
    QList<SettingsGroup> groups;
    for (int row = 0; row < ui->lstCmpGroups->count(); ++row) {
        const QListWidgetItem* item = ui->lstCmpGroups->item(row);
        if (item->checkState() == Qt::Checked) {
            groups.append(static_cast<SettingsGroup>(item->data(Qt::UserRole).toInt()));
        }
    }
    return groups;
}

void frmCompare::UpdateRestoreButton() {
    ui->cmdCmpRestore->setEnabled(restorable_ && !chosenGroups().isEmpty());
}
