#include "frmAdvanced.h"

frmAdvanced::frmAdvanced(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
}
