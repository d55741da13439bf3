#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmAskPw;
}

// Modal password prompt: an empty answer means the user cancelled.
class frmAskPw : public QDialog {
    Q_OBJECT

public:
    explicit frmAskPw(QWidget* parent = nullptr);
    ~frmAskPw() override;

    // Cancel, Escape and the title bar's close button all end here, so every
    // way out but OK leaves the text box empty.
    void reject() override;

    // Shows the prompt with the label text over the active window and
    // returns the typed password, empty when the user cancelled.
    static QString Ask(const QString& label);

private:
    void txtAskPw_Change(const QString& text);
    void cmdOk_Click();
    void cmdReturn_Click();

    const std::unique_ptr<Ui::frmAskPw> ui;
};
