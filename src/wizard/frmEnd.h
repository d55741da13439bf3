#pragma once

#include <QWidget>

#include "ui_frmEnd.h"

// Final page of the wizard: finish, go back, or open the advanced window.
class frmEnd : public QWidget {
    Q_OBJECT

public:
    explicit frmEnd(QWidget* parent = nullptr);

    Ui::frmEnd ui;

    // Reads every parameter of the selected node and opens the advanced
    // window; the node page runs it too.
    void cmdAdvanced_Click();

protected:
    // Closing the final page ends the program like Finish.
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdFinish_Click();
    void cmdReturn_Click();
    void cmdSave_Click();
};
