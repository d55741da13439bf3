#pragma once

#include <QWidget>

#include "ui_frmBegin.h"

// Welcome page of the wizard.
class frmBegin : public QWidget {
    Q_OBJECT

public:
    explicit frmBegin(QWidget* parent = nullptr);

    Ui::frmBegin ui;

protected:
    // Closing the welcome page ends the program like Exit.
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdNext_Click();
    void cmdEnd_Click();
};
