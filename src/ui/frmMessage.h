#pragma once

#include <QTimer>
#include <QWidget>

#include "ui_frmMessage.h"

// Status window with a message line and a progress bar. It has no logic of
// its own: every operation that runs a tool drives it step by step.
class frmMessage : public QWidget {
    Q_OBJECT

public:
    explicit frmMessage(QWidget* parent = nullptr);

    Ui::frmMessage ui;
    // Has no handler: the window never acts on its own.
    QTimer timMessage;
};
