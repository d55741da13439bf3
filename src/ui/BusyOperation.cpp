#include "BusyOperation.h"

#include <QApplication>
#include <QWidget>

#include "Status.h"
#include "app/Seams.h"

namespace {

int gDepth = 0;
std::function<void(QWidget*, const QString&)> gObserver;

}  // namespace

BusyOperation::BusyOperation(QWidget* window, const QString& message) : window_(window) {
    if (gObserver) {
        gObserver(window, message);
    }
    if (gDepth++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    if (window_) {
        // A step of a larger operation finds its window disabled already and
        // leaves the enabling to that operation.
        reEnable_ = !window_->testAttribute(Qt::WA_ForceDisabled);
        QWidget* focus = window_->window()->focusWidget();
        focus_ = focus && window_->isAncestorOf(focus) ? focus : nullptr;
        window_->setEnabled(false);
    }
    ShowStatus(message, window);
    // Steps shared with the command line report their progress through the
    // seam; inside an operation it moves this bar.
    InstallProgress(SetProgress);
}

BusyOperation::~BusyOperation() {
    finish();
}

void BusyOperation::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    SetProgressFull();
    HideStatus();
    if (--gDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
    if (window_ && reEnable_) {
        window_->setEnabled(true);
        // Not every desktop gives the activation back when the status
        // window goes.
        if (!QApplication::activeWindow() && window_->window()->isVisible()) {
            window_->window()->activateWindow();
        }
        if (focus_ && focus_->isVisible() && focus_->isEnabled() &&
            !window_->window()->focusWidget()) {
            focus_->setFocus(Qt::OtherFocusReason);
        }
    }
}

bool BusyOperation::running() {
    return gDepth > 0;
}

void BusyOperation::setObserver(std::function<void(QWidget*, const QString&)> observer) {
    gObserver = std::move(observer);
}
