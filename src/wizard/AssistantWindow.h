#pragma once

#include <QWidget>

class QStackedWidget;

// The one window of the wizard: its pages take turns in it, in place. The
// window carries the current page's caption as its title, keeps one size
// for every page and never jumps between them.
class AssistantWindow : public QWidget {
    Q_OBJECT

public:
    explicit AssistantWindow(QWidget* parent = nullptr);
    ~AssistantWindow() override;

    // A page joins the window when it is first shown, so that start-up
    // styles and lays out the welcome page only.
    void addPage(QWidget* page);
    bool hasPage(const QWidget* page) const;
    // Makes the page the current one and shows the window.
    void showPage(QWidget* page);
    // Makes the page the current one without showing the window.
    void setCurrentPage(QWidget* page);
    QWidget* currentPage() const;
    // Fixes the window's size to the largest designed page size, and to what
    // the first page needs, centred on the screen; run once the pages carry
    // their captions.
    void settle(QWidget* firstPage);

signals:
    // The title bar's close button, while no operation runs: the current
    // page's own way out runs.
    void closeRequested(QWidget* page);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeTitle();

    QStackedWidget* stack_;
    QList<QWidget*> pages_;
};
