#include "frmAdvanced.h"

#include <QDir>

#include "Layer2Upgrade.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/ToolRun.h"
#include "ui/BusyOperation.h"
#include "ui/Guide.h"
#include "ui/Status.h"
#include "ui_frmAdvanced.h"

frmAdvanced::frmAdvanced(QWidget* parent) : QWidget(parent), ui(new Ui::frmAdvanced) {
    ui->setupUi(this);
    connect(ui->cboInterface, &QComboBox::currentIndexChanged, this,
            &frmAdvanced::cboInterface_Click);
    connect(ui->cmdUpgrade, &QPushButton::clicked, this, &frmAdvanced::cmdUpgrade_Click);
    connect(ui->cmdConfigMac, &QPushButton::clicked, this, &frmAdvanced::discoveryRequested);
    connect(ui->cmdExit, &QPushButton::clicked, this, &frmAdvanced::exitRequested);
    connect(ui->cmdPrev, &QPushButton::clicked, this, &frmAdvanced::backRequested);
    connect(ui->cmdHelp, &QPushButton::clicked, this,
            [] { OpenGuide(QStringLiteral("loader-page")); });
    SetFirmwareDialogTexts(this);
}

frmAdvanced::~frmAdvanced() = default;

void frmAdvanced::setInterfaces(const QStringList& interfaces) {
    ui->cboInterface->clear();
    ui->cboInterface->addItems(interfaces);
}

void frmAdvanced::cboInterface_Click() {
    // Only ever enables: a successful upgrade disables it.
    if (ui->cboInterface->currentIndex() >= 0) {
        ui->cmdUpgrade->setEnabled(true);
    }
}

void frmAdvanced::cmdUpgrade_Click() {
    const SessionState& s = Session();
    const QString file = ChooseFirmwareFile(this);
    if (file.isEmpty()) {
        return;
    }
    const BusyOperation operation(this, s.lblUpLoader);
    SetBarValue(20);
    DeleteFirmwareServerResult();
    QDir::setCurrent(s.WorkDir);
    SetBarValue(40);
    // The loader page names the interface by its place in the list.
    const int exitCode =
        RunAndWait(FirmwareServerCommandLine(file, ui->cboInterface->currentIndex()));
    SetBarValue(60);
    if (FirmwareServerRan(exitCode)) {
        const qint16 code = FirmwareServerResultCode();
        SetBarValue(80);
        if (code != 0) {
            ShowFirmwareServerError(this, code);
        } else {
            MsgBox(s.errUpgradeOk, MsgIcon::Information);
            ui->cmdUpgrade->setEnabled(false);
        }
    }
}
