#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class frmConnect;
}

// Node selection page: the node on the Ethernet wire in a one-line box and the
// nodes it sees on the powerline in a list. One node leads to its basic
// configuration or its advanced window, several to the set-all page.
class frmConnect : public QWidget {
    Q_OBJECT

public:
    explicit frmConnect(QWidget* parent = nullptr);
    ~frmConnect() override;

    // The connected-node box counts as selected while it shows the highlight.
    bool boxSelected() const { return boxSelected_; }
    void setBoxSelected(bool selected);

    // Counts the selected nodes, unselecting entries of other networks, and
    // sets the Next caption and buttons to match.
    int UpdateNodeSelection();

    // The node lines: the connected node's box and the list's entries.
    QString localNodeLine() const;
    void setLocalNodeLine(const QString& line);
    QStringList nodeLines() const;
    void addNodeLine(const QString& line);
    // The MACs of the selected list entries, in list order.
    QStringList selectedEntryMacs() const;

    // An empty page, as discovery starts it.
    void clearNodes();
    // The list, the box and Refresh take input again after discovery.
    void enableNodeControls();
    // The connected node refuses every password: only its factory reset is
    // left, and the page shows just its MAC.
    void enterLockedState(const QString& mac);
    // Back from the basic configuration page: Next waits for a new choice.
    void disableNext();

signals:
    // The chosen node was read and the response holds its basic settings.
    void basicConfigRequested();
    // The chosen node answered; its advanced window is to be opened.
    void advancedRequested();
    // Every selected node answered; the local node's notch setting was read.
    void setAllRequested(const QStringList& notchOptions, const QString& notch);
    // The connected node does not answer at all: the loader page takes over.
    void loaderPageRequested();
    void discoveryRequested();
    void factoryResetRequested();
    // The overview of every node found is to be shown.
    void overviewRequested();
    void backRequested();
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class OpenMode { Basic, Advanced };

    // Puts the column headings above the columns of the node lines.
    void AlignColumnHeadings();

    void txtMacDirect_Click();
    void lstMac_Click();
    void cmdConfigMac_Click();
    void cmdQuickAdv_Click();
    void cmdRefresh_Click();
    void OpenNode(OpenMode mode);
    void ConfigureSeveralNodes();

    const std::unique_ptr<Ui::frmConnect> ui;
    bool boxSelected_ = false;
    bool headingsAligned_ = false;
};

// True when the node answers with the password and reports exactly the
// expected network identifier. Shows nothing.
bool CheckNodeAccess(const QString& mac, const QString& password, const QString& expected);
