#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmErrorShort;
}

// Short error dialog of the firmware upgrade: a short text under a title,
// Ok, and Help for the long explanation of the error number.
class frmErrorShort : public QDialog {
    Q_OBJECT

public:
    explicit frmErrorShort(QWidget* parent = nullptr);
    ~frmErrorShort() override;

    // The dialog shown last, or the one start-up created.
    static frmErrorShort* current();

    void setCaptions(const QString& help, const QString& ok);
    void setError(const QString& title, const QString& shortText, qint16 errorCode);
    qint16 errorCode() const { return errorCode_; }

signals:
    void helpRequested();

private:
    const std::unique_ptr<Ui::frmErrorShort> ui;
    // Number of the error whose explanation the Help button shows.
    qint16 errorCode_ = 0;
};
