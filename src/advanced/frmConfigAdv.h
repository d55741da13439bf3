#pragma once

#include <QWidget>

#include "ui_frmConfigAdv.h"

// Advanced configuration window: every parameter of one node on panels chosen
// by a tab strip, with the raw parameter list at the left.
class frmConfigAdv : public QWidget {
    Q_OBJECT

public:
    explicit frmConfigAdv(QWidget* parent = nullptr);

    // Elements of the control arrays; nullptr outside an array's range.
    QWidget* picFrame(int i) const;      // panels 1 to 10
    QWidget* picCriterion(int i) const;  // criterion panels 1 and 2
    QLabel* lblSecurity(int i) const;    // security labels 0 to 8
    QLineEdit* txtQoSMap(int k) const;   // QoS priority map entries 0 to 7
    QLabel* lblQoSPrec(int k) const;     // their labels 0 to 7

    Ui::frmConfigAdv ui;
};
