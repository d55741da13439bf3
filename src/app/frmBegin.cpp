#include "frmBegin.h"

#include <QCloseEvent>

#include "Application.h"

frmBegin::frmBegin(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    connect(ui.cmdNext, &QPushButton::clicked, this, &frmBegin::cmdNext_Click);
    connect(ui.cmdEnd, &QPushButton::clicked, this, &frmBegin::cmdEnd_Click);
}

void frmBegin::cmdNext_Click() {
    Application& app = App();
    hide();
    app.flow.DiscoverNodes();
    if (app.session.DiscoveryFailed) {
        app.windows.frmConnect->hide();
        app.session.DiscoveryFailed = false;
    }
}

void frmBegin::cmdEnd_Click() {
    ExitApplication();
}

void frmBegin::closeEvent(QCloseEvent* event) {
    event->accept();
    ExitApplication();
}
