#pragma once

#include <QWidget>

#include "ui_frmSetAll.h"

// Page that gives every selected node the same settings in one pass.
class frmSetAll : public QWidget {
    Q_OBJECT

public:
    explicit frmSetAll(QWidget* parent = nullptr);

    Ui::frmSetAll ui;
};
