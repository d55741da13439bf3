#pragma once

#include <QWidget>

#include "ui_frmConfig.h"

// Basic configuration page of one node: network identifier, key, node type,
// password and alias, sent in one request.
class frmConfig : public QWidget {
    Q_OBJECT

public:
    explicit frmConfig(QWidget* parent = nullptr);

    Ui::frmConfig ui;

    // Set once the user saved a new password; never cleared during the run.
    bool passwordChanged = false;

    // Writes the page's settings as one request; false when it could not.
    bool WriteBasicConfigRequest();

protected:
    // Closing the page ends the program like Finish.
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdSave_Click();
    void cmdReturn_Click();
    void cmdExit_Click();
    void txtId_Change(const QString& text);
    void txtPw1_Change(const QString& text);
};

// True when the identifier or the key differs from the values of the last
// read of the node, still in the response file.
bool NetworkSettingsChanged(const QString& networkId, const QString& key);
