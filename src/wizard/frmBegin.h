#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class frmBegin;
}

// Welcome page of the wizard.
class frmBegin : public QWidget {
    Q_OBJECT

public:
    explicit frmBegin(QWidget* parent = nullptr);
    ~frmBegin() override;

    void setVersionText(const QString& text);

signals:
    void nextRequested();
    void exitRequested();

private:
    const std::unique_ptr<Ui::frmBegin> ui;
};
