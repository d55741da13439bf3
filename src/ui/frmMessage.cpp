#include "frmMessage.h"

frmMessage::frmMessage(QWidget* parent) : QWidget(parent), timMessage(this) {
    ui.setupUi(this);
    timMessage.setObjectName(QStringLiteral("timMessage"));
}
