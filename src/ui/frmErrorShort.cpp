#include "frmErrorShort.h"

frmErrorShort::frmErrorShort(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
}
