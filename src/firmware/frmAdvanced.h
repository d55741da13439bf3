#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class frmAdvanced;
}

// Page shown when no node answers: interface choice and firmware upgrade
// from the loader.
class frmAdvanced : public QWidget {
    Q_OBJECT

public:
    explicit frmAdvanced(QWidget* parent = nullptr);
    ~frmAdvanced() override;

    // The host's interfaces that discovery listed, starting on the one the
    // node was last found on.
    void setInterfaces(const QStringList& interfaces);

signals:
    void discoveryRequested();
    void backRequested();
    void exitRequested();

private:
    void cboInterface_Click();
    // Serves a firmware file on the chosen interface while the user restarts
    // the node, whose loader then takes it, and waits for the node to start
    // its new firmware before telling the user.
    void cmdUpgrade_Click();

    const std::unique_ptr<Ui::frmAdvanced> ui;
};
