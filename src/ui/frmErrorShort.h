#pragma once

#include <QDialog>

#include "ui_frmErrorShort.h"

// Short error dialog of the firmware upgrade; its user sets every text and
// the error number before showing it.
class frmErrorShort : public QDialog {
    Q_OBJECT

public:
    explicit frmErrorShort(QWidget* parent = nullptr);

    Ui::frmErrorShort ui;
    // Number of the error whose explanation the Help button shows.
    qint16 ErrorCode = 0;
};
