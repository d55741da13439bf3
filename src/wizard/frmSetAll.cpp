#include "frmSetAll.h"

frmSetAll::frmSetAll(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
}
