#pragma once

#include <QWidget>

#include "ui_frmConnect.h"

// Node selection page: the node on the Ethernet wire in a one-line box and the
// nodes it sees on the powerline in a list. One node leads to its basic
// configuration or its advanced window, several to the set-all page.
class frmConnect : public QWidget {
    Q_OBJECT

public:
    explicit frmConnect(QWidget* parent = nullptr);

    Ui::frmConnect ui;

    // The connected-node box counts as selected while it shows the highlight.
    bool boxSelected() const { return boxSelected_; }
    void setBoxSelected(bool selected);

    // Counts the selected nodes, unselecting entries of other networks, and
    // sets the Next caption and buttons to match.
    int UpdateNodeSelection();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the node page ends the program like Exit.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Puts the column headings above the columns of the node lines.
    void AlignColumnHeadings();
    bool headingsAligned = false;

    enum class OpenMode { Basic, Advanced };

    void txtMacDirect_Click();
    void lstMac_Click();
    void cmdConfigMac_Click();
    void cmdQuickAdv_Click();
    void cmdRefresh_Click();
    void cmdFactoryReset_Click();
    void cmdPrev_Click();
    void cmdExit_Click();

    int selectedEntryCount() const;
    void unselectAllEntries();
    void OpenNode(OpenMode mode);
    void ConfigureSeveralNodes();
    void EndOperation();

    bool boxSelected_ = false;
};

// True when the node answers with the password and reports exactly the
// expected network identifier. Shows nothing.
bool CheckNodeAccess(const QString& mac, const QString& password, const QString& expected);

// Reads the local node's notch settings and opens the set-all page.
void PrepareSetAllPage();
