#pragma once

#include <QStringList>

#include "DialogRecorder.h"

// The texts of the boxes shown so far, in order, so that a test compares
// every box in one step.
inline QStringList BoxTexts(const DialogRecorder& dialogs) {
    QStringList texts;
    for (const DialogRecorder::Box& box : dialogs.boxes) {
        texts << box.text;
    }
    return texts;
}
