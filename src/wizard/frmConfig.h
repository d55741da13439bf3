#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class frmConfig;
}

// Basic configuration page of one node: network identifier, key, node type,
// password and alias, sent in one request.
class frmConfig : public QWidget {
    Q_OBJECT

public:
    explicit frmConfig(QWidget* parent = nullptr);
    ~frmConfig() override;

    // Shows the node's basic settings from the read still in the response
    // file, with empty password boxes and the focus on the identifier.
    void FillFromNodeRead();

    // Writes the page's settings as one request; false when it could not.
    bool WriteBasicConfigRequest();

signals:
    // The node took the settings.
    void saved();
    void backRequested();
    // Back after a new password was saved: the network is read anew.
    void discoveryRequested();
    void exitRequested();

private:
    void cmdSave_Click();
    void cmdReturn_Click();
    void txtId_Change(const QString& text);
    void txtPw1_Change(const QString& text);

    const std::unique_ptr<Ui::frmConfig> ui;
    // Set once the user saved a new password; never cleared during the run.
    bool passwordChanged_ = false;
};

// True when the identifier or the key differs from the values of the last
// read of the node, still in the response file.
bool NetworkSettingsChanged(const QString& networkId, const QString& key);
