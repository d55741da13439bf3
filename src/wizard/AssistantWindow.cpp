#include "AssistantWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/Application.h"
#include "ui/BusyOperation.h"

AssistantWindow::AssistantWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      stack_(new QStackedWidget(this)) {
    setObjectName(QStringLiteral("AssistantWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    connect(stack_, &QStackedWidget::currentChanged, this, &AssistantWindow::takeTitle);
}

AssistantWindow::~AssistantWindow() {
    // Pages never shown are no children of the window yet.
    for (QWidget* page : std::as_const(pages_)) {
        if (!stack_->isAncestorOf(page)) {
            delete page;
        }
    }
}

void AssistantWindow::addPage(QWidget* page) {
    pages_.append(page);
    page->installEventFilter(this);
}

bool AssistantWindow::hasPage(const QWidget* page) const {
    return pages_.contains(page);
}

void AssistantWindow::showPage(QWidget* page) {
    setCurrentPage(page);
    show();
}

void AssistantWindow::setCurrentPage(QWidget* page) {
    if (stack_->indexOf(page) < 0) {
        stack_->addWidget(page);
    }
    stack_->setCurrentWidget(page);
    takeTitle();
    // The keyboard works on the page at once: the focus goes to its first
    // control unless it is on the page already.
    if (!page->isAncestorOf(focusWidget())) {
        for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
            if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
                !w->isHidden()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
}

QWidget* AssistantWindow::currentPage() const {
    return stack_->currentWidget();
}

void AssistantWindow::settle(QWidget* firstPage) {
    QSize size = firstPage->minimumSizeHint();
    for (const QWidget* page : std::as_const(pages_)) {
        size = size.expandedTo(page->size());
    }
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void AssistantWindow::closeEvent(QCloseEvent* event) {
    // Every way out of a page ends in a step of its own; while an operation
    // runs there is none to take.
    if (!App().exiting && !BusyOperation::running()) {
        emit closeRequested(currentPage());
    }
    // Only the program's own end closes the window.
    event->setAccepted(App().exiting);
}

bool AssistantWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && watched == currentPage()) {
        takeTitle();
    }
    return QWidget::eventFilter(watched, event);
}

void AssistantWindow::takeTitle() {
    if (QWidget* page = currentPage()) {
        setWindowTitle(page->windowTitle());
    }
}
