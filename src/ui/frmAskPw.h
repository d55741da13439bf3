#pragma once

#include <QDialog>

#include "ui_frmAskPw.h"

// Modal password prompt. The caller empties txtAskPw, sets lblAskPw, shows
// the dialog and then reads txtAskPw: an empty text means the user cancelled.
class frmAskPw : public QDialog {
    Q_OBJECT

public:
    explicit frmAskPw(QWidget* parent = nullptr);

    // Cancel, Escape and the title bar's close button all end here, so every
    // way out but OK leaves the text box empty.
    void reject() override;

    Ui::frmAskPw ui;

private:
    void txtAskPw_Change(const QString& text);
    void cmdOk_Click();
    void cmdReturn_Click();
};
