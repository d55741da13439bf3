#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

// The frame of every operation that touches a node. While one lives, the
// calling window is disabled, the status window owned by it shows the
// message with the bar at 0, the whole application shows the busy cursor,
// and the program's windows refuse to close. finish(), or the end of the
// object's scope on any way out, fills the bar, hides the status window,
// restores the cursor and enables the window again.
class BusyOperation {
public:
    BusyOperation(QWidget* window, const QString& message);
    ~BusyOperation();
    BusyOperation(const BusyOperation&) = delete;
    BusyOperation& operator=(const BusyOperation&) = delete;

    // Ends the frame before the object's scope ends, so that the outcome can
    // be reported over an enabled window; later calls do nothing.
    void finish();

    // True while any operation runs: windows refuse to close meanwhile.
    static bool running();

    // Told of every operation that starts, with its window and message;
    // tests record what was shown with it. Nothing to remove it.
    static void setObserver(std::function<void(QWidget*, const QString&)> observer);

private:
    QPointer<QWidget> window_;
    // Disabling the window takes the keyboard focus away; it comes back.
    QPointer<QWidget> focus_;
    bool reEnable_ = true;
    bool finished_ = false;
};
