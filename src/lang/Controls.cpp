#include "Controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

void SetCaption(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(text);
    } else {
        control->setWindowTitle(text);
    }
}
