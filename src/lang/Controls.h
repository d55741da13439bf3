#pragma once

#include <QWidget>

// A control of a window, found by its name: the caption tables label every
// control this way. A missing control is a fault of the program.
template <typename T = QWidget>
T* Ctl(QWidget* window, const char* name) {
    T* control = window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!control) {
        qFatal("control %s missing on %s", name,
               window ? qPrintable(window->objectName()) : "no window");
    }
    return control;
}

// Sets the visible text of a window, label, button or frame.
void SetCaption(QWidget* control, const QString& text);
