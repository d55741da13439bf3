#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>

// Start-up measurement: with KALDOR_EXIT_AFTER_PAINT set, the program prints
// "painted <microseconds since the epoch>" once the window has been painted
// for the first time, and ends. Without it nothing is watched.
class FirstPaintProbe : public QObject {
public:
    static void WatchIfAsked(QWidget* window) {
        if (qEnvironmentVariableIsSet("KALDOR_EXIT_AFTER_PAINT")) {
            window->installEventFilter(new FirstPaintProbe(window));
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so it runs once the whole window has been painted.
            QMetaObject::invokeMethod(qApp, &FirstPaintProbe::ReportAndEnd, Qt::QueuedConnection);
        }
        return false;
    }

private:
    explicit FirstPaintProbe(QObject* parent) : QObject(parent) {}

    static void ReportAndEnd() {
        const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        std::printf("painted %lld\n", static_cast<long long>(now.count()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }
};
