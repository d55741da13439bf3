#pragma once

#include <QWidget>

#include "ui_frmSetAll.h"

struct SetAllSettings;

// Page that gives every selected node the same network identifier, key,
// notch setting and, optionally, a new password in one action.
class frmSetAll : public QWidget {
    Q_OBJECT

public:
    explicit frmSetAll(QWidget* parent = nullptr);

    Ui::frmSetAll ui;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the page ends the program like Exit.
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdAutoConf_Click();
    void cmdPrev_Click();
    void cmdExit_Click();
    void txtId_Change(const QString& text);
    void txtPw1_Change(const QString& text);
    void txtPw2_LostFocus();

    SetAllSettings TypedSettings() const;
};
