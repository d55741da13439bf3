#include "frmAdvanced.h"

#include <QDir>

#include "Layer2Upgrade.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
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
    // The interface the node was last found on, which the client uses too.
    const int found = Session().InterfaceNumber;
    ui->cboInterface->setCurrentIndex(found >= 0 && found < interfaces.size() ? found : -1);
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
    int exitCode = kToolNotStarted;
    qint16 code = 0;
    {
        const BusyOperation operation(this, s.lblUpLoader);
        SetBarValue(20);
        DeleteFirmwareServerResult();
        QDir::setCurrent(s.WorkDir);
        SetBarValue(40);
        // The loader page names the interface by its place in the list.
        exitCode = RunAndWait(FirmwareServerCommandLine(file, ui->cboInterface->currentIndex()));
        SetBarValue(60);
        code = FirmwareServerResultCode();
        SetBarValue(80);
        if (FirmwareServerRan(exitCode) && code == 0) {
            // The node starts its new firmware: Next finds it only once it
            // has restarted.
            SetStatusMessage(s.lblFctReset);
            SetProgress(2, kRestartSteps);
            WaitForRestart();
        }
    }
    // Told once the status window has gone.
    if (!FirmwareServerRan(exitCode)) {
        ReportServerCrash(exitCode);
    } else if (code == 7) {
        // Nothing took the firmware on this interface: the node may be on another.
        ShowUpgradeError(this, s.errUpgradeKo,
                         UpgradeErrorShortText(code) + QLatin1Char('\n') +
                             GetText(QStringLiteral("lblInterface")) + QStringLiteral(": ") +
                             ui->cboInterface->currentText(),
                         code);
    } else if (code != 0) {
        ShowFirmwareServerError(this, code);
    } else {
        MsgBox(s.errUpgradeOk, MsgIcon::Information);
        ui->cmdUpgrade->setEnabled(false);
    }
}
