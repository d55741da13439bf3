#include "QosPanels.h"

#include "QosRequests.h"
#include "TcpWindow.h"
#include "VlanPanel.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/Status.h"

namespace {

constexpr int kMapEntries = 8;
constexpr int kHighestPort = 65535;
constexpr int kHighestPriority = 6;

// Rules of the QoS panel that take a port, and those that take a priority map.
bool TakesPort(int rule) {
    return rule == 1 || rule == 2;
}

bool TakesMap(int rule) {
    return rule == 4 || rule == 5;
}

// Advanced presets that match one UDP or TCP port.
bool PresetTakesPort(int preset) {
    return preset >= 2 && preset <= 5;
}

void cboQoSRule_Click(frmConfigAdv* window) {
    Ui::frmConfigAdv& ui = window->ui;
    const int rule = ui.cboQoSRule->currentIndex();
    ui.lblQoSPort->setVisible(TakesPort(rule));
    ui.txtQoSPort->setVisible(TakesPort(rule));
    ui.txtQoSPort->clear();
    if (TakesMap(rule)) {
        // The type-of-service byte and its later reading as DSCP name the same
        // precedences differently.
        const QString caption =
            GetText(rule == 4 ? QStringLiteral("lblPrecTOS") : QStringLiteral("lblPrecDSCP"));
        for (int k = 0; k < kMapEntries; ++k) {
            window->lblQoSPrec(k)->setText(caption + QStringLiteral(" %1").arg(k + 1));
        }
    }
    for (int k = 0; k < kMapEntries; ++k) {
        window->lblQoSPrec(k)->setVisible(TakesMap(rule));
        window->txtQoSMap(k)->setVisible(TakesMap(rule));
        window->txtQoSMap(k)->clear();
    }
}

// A port preset keeps the port typed so far; the others forget it.
void ShowPresetPort(const QComboBox* rule, QLabel* portLabel, QLineEdit* port) {
    const bool takesPort = PresetTakesPort(rule->currentIndex());
    portLabel->setVisible(takesPort);
    port->setVisible(takesPort);
    if (!takesPort) {
        port->clear();
    }
}

void cboRule1_Click(Ui::frmConfigAdv& ui) {
    ShowPresetPort(ui.cboRule1, ui.lblPort1, ui.txtPort1);
}

void cboRule2_Click(Ui::frmConfigAdv& ui) {
    ShowPresetPort(ui.cboRule2, ui.lblPort2, ui.txtPort2);
}

// txtQoSPort_LostFocus, txtPort1_LostFocus, txtPort2_LostFocus and
// txtQoSMap0_LostFocus to txtQoSMap7_LostFocus: a field once left holds a
// number the node takes.
void ClampOnLeaving(frmConfigAdv* window, QLineEdit* field, int highest) {
    window->OnLostFocus(
        field, [field, highest] { field->setText(ClampedFieldText(field->text(), 0, highest)); });
}

// Both sends keep the status window up over the disabled advanced window until
// all their requests have run, and report each refusal while it shows.
void BeginSend(frmConfigAdv* window) {
    window->setEnabled(false);
    ShowStatus(Session().lblSave, window);
}

void EndSend(frmConfigAdv* window) {
    HideStatus();
    window->setEnabled(true);
}

// Runs the client on the request just written, moving the bar from step to
// step + 1 of steps, and tells the user when the node refused the request.
void RunQoSRequest(int step, int steps) {
    const SessionState& s = Session();
    SetProgress(step, steps);
    RunClient(s.PostRequestFile);
    SetProgress(step + 1, steps);
    if (!ResponseStartsWith(QStringLiteral("0"))) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errSaving);
    }
}

void cmdQoSUpdate_Click(frmConfigAdv* window) {
    BeginSend(window);
    if (WriteQoSRuleRequest(window->ui.cboQoSRule->currentIndex())) {
        RunQoSRequest(1, 3);
    }
    EndSend(window);
}

void cmdQoSAdvUpdate_Click(frmConfigAdv* window) {
    BeginSend(window);
    const QComboBox* rules[] = {window->ui.cboRule1, window->ui.cboRule2};
    for (int criterion = 0; criterion < 2; ++criterion) {
        const int preset = rules[criterion]->currentIndex();
        // A criterion the load matched to no preset is left as the node has it.
        if (preset < 0) {
            continue;
        }
        if (!WriteQoSCriterionRequest(preset, criterion)) {
            break;
        }
        RunQoSRequest(2 * criterion + 1, 5);
    }
    SetProgressFull();
    EndSend(window);
}

}  // namespace

void ConnectQosPanels(frmConfigAdv* window) {
    Ui::frmConfigAdv& ui = window->ui;
    QObject::connect(ui.cboQoSRule, &QComboBox::currentIndexChanged, window,
                     [window] { cboQoSRule_Click(window); });
    QObject::connect(ui.cboRule1, &QComboBox::currentIndexChanged, window,
                     [&ui] { cboRule1_Click(ui); });
    QObject::connect(ui.cboRule2, &QComboBox::currentIndexChanged, window,
                     [&ui] { cboRule2_Click(ui); });
    for (QLineEdit* port : {ui.txtQoSPort, ui.txtPort1, ui.txtPort2}) {
        ClampOnLeaving(window, port, kHighestPort);
    }
    for (int k = 0; k < kMapEntries; ++k) {
        ClampOnLeaving(window, window->txtQoSMap(k), kHighestPriority);
    }
    QObject::connect(ui.cmdQoSUpdate, &QPushButton::clicked, window,
                     [window] { cmdQoSUpdate_Click(window); });
    QObject::connect(ui.cmdQoSAdvUpdate, &QPushButton::clicked, window,
                     [window] { cmdQoSAdvUpdate_Click(window); });
}

void ConnectQosVlanTcp(frmConfigAdv* window) {
    ConnectQosPanels(window);
    ConnectVlanPanel(window);
    ConnectTcpWindow(window);
}
