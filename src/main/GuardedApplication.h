#pragma once

#include <QApplication>

// The application object of the program: a handler that fails unexpectedly
// is reported once, the work files are removed and the program ends with a
// non-zero code, instead of the process aborting with passwords left behind.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

// Exit code of a program ended by an unexpected failure.
inline constexpr int kFailureExitCode = 3;
