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
};
