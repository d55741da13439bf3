#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class frmSetAll;
}

struct SetAllSettings;

// Page that gives every selected node the same network identifier, key,
// notch setting and, optionally, a new password in one action.
class frmSetAll : public QWidget {
    Q_OBJECT

public:
    explicit frmSetAll(QWidget* parent = nullptr);
    ~frmSetAll() override;

    // Empties the page for the nodes chosen on the node page: the MACs of the
    // selected list entries in list order, and the connected node's MAC when
    // its box is selected (empty otherwise); the notch list from the
    // connected node's read, on its current setting. The page lists the nodes
    // it will change.
    void prepare(const QStringList& entryMacs, const QString& connectedMac,
                 const QStringList& notchOptions, const QString& notch);

signals:
    // After a run, and on Back: the network is read anew.
    void discoveryRequested();
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdAutoConf_Click();
    void txtId_Change(const QString& text);
    void txtPw1_Change(const QString& text);
    void txtPw2_LostFocus();
    bool PasswordsDiffer();

    SetAllSettings TypedSettings() const;

    const std::unique_ptr<Ui::frmSetAll> ui;
    QStringList targets_;
    QStringList leftOut_;
};
