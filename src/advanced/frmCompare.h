#pragma once

#include <QDialog>
#include <QList>
#include <memory>

#include "node/Groups.h"

namespace Ui {
class frmCompare;
}

// A node's settings against a reference (a backup file or another node): one
// row per setting that differs, with the group it belongs to. Against a
// backup, the groups to restore are chosen with a check box each; a group
// holding a value the node does not offer cannot be chosen.
class frmCompare : public QDialog {
    Q_OBJECT

public:
    // nodeName and referenceName head the window and the value columns;
    // restorable offers the groups and the Restore button.
    frmCompare(QWidget* parent, const QString& nodeName, const QString& referenceName,
               bool restorable);
    ~frmCompare() override;

    // Shows the differences; the groups they touch start chosen.
    void showDifferences(const QList<SettingDifference>& differences);
    QList<SettingsGroup> chosenGroups() const;

signals:
    void restoreRequested(const QList<SettingsGroup>& groups);

private:
    void UpdateRestoreButton();

    const std::unique_ptr<Ui::frmCompare> ui;
    const bool restorable_;
};
