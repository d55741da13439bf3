#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <ctime>

// Start-up measurement: with KALDOR_EXIT_AFTER_PAINT set, the program prints
// "painted <wall-clock µs since the epoch> <processor µs used>" once the window
// has been painted for the first time, and ends. Without it nothing is watched.
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
        const double cpu = 1e6 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
        std::printf("painted %lld %.0f\n", static_cast<long long>(now.count()), cpu);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }
};
