#include "frmEnd.h"

#include <QCloseEvent>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "discovery/Discovery.h"
#include "ui/Status.h"

frmEnd::frmEnd(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    connect(ui.cmdFinish, &QPushButton::clicked, this, &frmEnd::cmdFinish_Click);
    connect(ui.cmdAdvanced, &QPushButton::clicked, this, &frmEnd::cmdAdvanced_Click);
    connect(ui.cmdReturn, &QPushButton::clicked, this, &frmEnd::cmdReturn_Click);
    connect(ui.cmdSave, &QPushButton::clicked, this, &frmEnd::cmdSave_Click);
}

void frmEnd::closeEvent(QCloseEvent* event) {
    event->accept();
    ExitApplication();
}

void frmEnd::cmdFinish_Click() {
    ExitApplication();
}

void frmEnd::cmdReturn_Click() {
    hide();
    App().windows.frmConfig->show();
}

void frmEnd::cmdSave_Click() {
    hide();
    DiscoverNodes();
}

void frmEnd::cmdAdvanced_Click() {
    Application& app = App();
    const SessionState& s = app.session;
    setEnabled(false);
    ShowStatus(s.lblConnect, app.windows.frmConnect);
    const bool written = WriteGetAllRequest();
    SetProgress(1, 2);
    if (written) {
        RunClient(s.GetRequestFile);
    }
    SetProgressFull();
    HideStatus();
    setEnabled(true);
    if (!written) {
        return;
    }
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation);
        return;
    }
    if (app.flow.LoadAdvancedWindow) {
        app.flow.LoadAdvancedWindow();
    }
    hide();
    app.windows.frmConfigAdv->show();
    app.windows.frmConnect->hide();
}
