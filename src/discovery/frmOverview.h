#pragma once

#include <QList>
#include <QWidget>
#include <memory>

#include "Overview.h"

namespace Ui {
class frmOverview;
}

// The network at a glance: one row per node the last discovery found, the
// connected node first, with what each node reports about itself. The rows
// can be sorted by any column, read again, and saved as a CSV file.
class frmOverview : public QWidget {
    Q_OBJECT

public:
    explicit frmOverview(QWidget* parent = nullptr);
    ~frmOverview() override;

    // The nodes of the last discovery and the passwords they answered to.
    void setNodes(const QList<FoundNode>& nodes);
    // Shows the window over its owner and reads every node.
    void showAndRead(QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdOvRefresh_Click();
    void cmdOvExport_Click();
    void cmdOvStop_Click();
    void ShowRows(const QList<OverviewRow>& rows);
    QStringList Headings() const;

    const std::unique_ptr<Ui::frmOverview> ui;
    QList<FoundNode> nodes_;
    bool stopRequested_ = false;
};
