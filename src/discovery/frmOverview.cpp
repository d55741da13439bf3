#include "frmOverview.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>

#include "app/Application.h"
#include "app/Seams.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/WindowFlags.h"
#include "ui_frmOverview.h"

frmOverview::frmOverview(QWidget* parent)
    : QWidget(parent, kWindowWithoutMaximise), ui(new Ui::frmOverview) {
    ui->setupUi(this);
    // While the nodes are read, only this window takes input, so Stop is the
    // one thing the user can do.
    setWindowModality(Qt::ApplicationModal);
    QHeaderView* header = ui->grdOverview->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    // Unsorted until the user picks a column: the connected node comes first.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    ui->grdOverview->setSortingEnabled(true);
    ui->grdOverview->verticalHeader()->hide();
    connect(ui->cmdOvRefresh, &QPushButton::clicked, this, &frmOverview::cmdOvRefresh_Click);
    connect(ui->cmdOvExport, &QPushButton::clicked, this, &frmOverview::cmdOvExport_Click);
    connect(ui->cmdOvStop, &QPushButton::clicked, this, &frmOverview::cmdOvStop_Click);
    connect(ui->cmdOvClose, &QPushButton::clicked, this, &QWidget::close);
}

frmOverview::~frmOverview() = default;

void frmOverview::setNodes(const QList<FoundNode>& nodes) {
    nodes_ = nodes;
}

void frmOverview::showAndRead(QWidget* owner) {
    // Each opening starts unsorted, the connected node first.
    ui->grdOverview->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    CentreOn(this, owner);
    show();
    cmdOvRefresh_Click();
}

void frmOverview::closeEvent(QCloseEvent* event) {
    // The window stays while its nodes are read; Stop ends the reading.
    if (BusyOperation::running() && !App().exiting) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmOverview::cmdOvRefresh_Click() {
    stopRequested_ = false;
    ui->cmdOvStop->setEnabled(true);
    QList<OverviewRow> rows;
    {
        BusyOperation operation(ui->fraOverview, Session().lblConnect);
        rows = ReadOverview(nodes_, [this] {
            // A click on Stop waits in the queue while a node is read.
            QCoreApplication::processEvents();
            return stopRequested_;
        });
    }
    ui->cmdOvStop->setEnabled(false);
    ShowRows(rows);
}

void frmOverview::cmdOvStop_Click() {
    stopRequested_ = true;
}

namespace {

QString StateText(OverviewRow::State state) {
    switch (state) {
        case OverviewRow::State::Answered:
            return GetTextOr(QStringLiteral("txtOvAnswered"), QStringLiteral("Answered"));
        case OverviewRow::State::OtherNetwork:
            return GetTextOr(QStringLiteral("txtOvOtherNetwork"),
                             QStringLiteral("Another network: not read"));
        case OverviewRow::State::NoAnswer:
            return GetTextOr(QStringLiteral("txtOvNoAnswer"), QStringLiteral("Did not answer"));
        case OverviewRow::State::Refused:
            return GetTextOr(QStringLiteral("txtOvRefused"),
                             QStringLiteral("Refused the password"));
        case OverviewRow::State::NotRead:
            break;
    }
    return GetTextOr(QStringLiteral("txtOvNotRead"), QStringLiteral("Not read"));
}

}  // namespace

void frmOverview::ShowRows(const QList<OverviewRow>& rows) {
    QTableWidget* grid = ui->grdOverview;
    // Rows go in in the nodes' order and are then sorted as the user chose.
    grid->setSortingEnabled(false);
    grid->clearContents();
    grid->setRowCount(static_cast<int>(rows.size()));
    const QColor dim = palette().color(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < grid->rowCount(); ++r) {
        const OverviewRow& row = rows[r];
        const QStringList cells{row.alias,    row.mac,      row.networkId,       row.model,
                                row.firmware, row.nodeType, StateText(row.state)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (row.state != OverviewRow::State::Answered) {
                item->setForeground(dim);
            }
            grid->setItem(r, c, item);
        }
    }
    grid->setSortingEnabled(true);
}

QStringList frmOverview::Headings() const {
    QStringList headings;
    for (int c = 0; c < ui->grdOverview->columnCount(); ++c) {
        const QTableWidgetItem* item = ui->grdOverview->horizontalHeaderItem(c);
        headings.append(item ? item->text() : QString());
    }
    return headings;
}

void frmOverview::cmdOvExport_Click() {
    const QString path = TheDialogs().saveFileName(
        this, GetTextOr(QStringLiteral("cdlOvTitle"), QStringLiteral("Export the overview")),
        GetTextOr(QStringLiteral("cdlOvFilter"), QStringLiteral("CSV files (*.csv)")));
    if (path.isEmpty()) {
        return;
    }
    // The rows in the order the table shows them.
    QList<QStringList> rows;
    for (int r = 0; r < ui->grdOverview->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < ui->grdOverview->columnCount(); ++c) {
            const QTableWidgetItem* item = ui->grdOverview->item(r, c);
            cells.append(item ? item->text() : QString());
        }
        rows.append(cells);
    }
    SaveWholeFile(path, OverviewCsv(Headings(), rows));
}
