#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class frmMessage;
}

// Status window with a message line and a progress bar. It has no logic of
// its own: the operation guard and the operations drive it step by step.
class frmMessage : public QWidget {
    Q_OBJECT

public:
    explicit frmMessage(QWidget* parent = nullptr);
    ~frmMessage() override;

    // The status window created at start-up.
    static frmMessage* instance();

    void setMessage(const QString& message);
    void setBarValue(int value);
    int barMaximum() const;

protected:
    // The status window goes away with its operation, never by hand.
    void closeEvent(QCloseEvent* event) override;

private:
    const std::unique_ptr<Ui::frmMessage> ui;
    // Has no handler: the window never acts on its own.
    QTimer timMessage;
};
