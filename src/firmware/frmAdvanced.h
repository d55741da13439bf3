#pragma once

#include <QWidget>

#include "ui_frmAdvanced.h"

// Page shown when no node answers: interface choice and firmware upgrade
// from the loader.
class frmAdvanced : public QWidget {
    Q_OBJECT

public:
    explicit frmAdvanced(QWidget* parent = nullptr);

    Ui::frmAdvanced ui;

private:
    void cboInterface_Click();
    // Serves a firmware file on the chosen interface while the user restarts
    // the node, whose loader then takes it.
    void cmdUpgrade_Click();
    void cmdConfigMac_Click();
    void cmdExit_Click();
    void cmdPrev_Click();
};
