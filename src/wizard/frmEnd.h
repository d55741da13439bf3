#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class frmEnd;
}

// Final page of the wizard: finish, go back, or open the advanced window.
class frmEnd : public QWidget {
    Q_OBJECT

public:
    explicit frmEnd(QWidget* parent = nullptr);
    ~frmEnd() override;

signals:
    void finishRequested();
    void backRequested();
    void discoveryRequested();
    void advancedRequested();

private:
    const std::unique_ptr<Ui::frmEnd> ui;
};
