#include <optional>

#include "Loading.h"
#include "QosRequests.h"
#include "RuleRecognition.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui_frmConfigAdv.h"

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

// Runs the client on the request just written, moving the bar from step to
// step + 1 of steps; the first line of the answer when the node refused it.
std::optional<QString> RunQoSRequest(int step, int steps) {
    SetProgress(step, steps);
    RunClient(Session().PostRequestFile);
    SetProgress(step + 1, steps);
    if (ResponseStartsWith(QStringLiteral("0"))) {
        return std::nullopt;
    }
    return ReadResponseFirstLine();
}

// Advanced presets that match one UDP or TCP port.
bool PresetTakesPort(int preset) {
    return preset >= 2 && preset <= 5;
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

}  // namespace

void frmConfigAdv::ConnectQosPanels() {
    connect(ui->cboQoSRule, &QComboBox::currentIndexChanged, this, &frmConfigAdv::cboQoSRule_Click);
    connect(ui->cboRule1, &QComboBox::currentIndexChanged, this, &frmConfigAdv::cboRule1_Click);
    connect(ui->cboRule2, &QComboBox::currentIndexChanged, this, &frmConfigAdv::cboRule2_Click);
    for (QLineEdit* port : {ui->txtQoSPort, ui->txtPort1, ui->txtPort2}) {
        ClampOnLeaving(port, kHighestPort);
    }
    for (int k = 0; k < kMapEntries; ++k) {
        ClampOnLeaving(txtQoSMap(k), kHighestPriority);
    }
    connect(ui->cmdQoSUpdate, &QPushButton::clicked, this, &frmConfigAdv::cmdQoSUpdate_Click);
    connect(ui->cmdQoSAdvUpdate, &QPushButton::clicked, this, &frmConfigAdv::cmdQoSAdvUpdate_Click);
}

// The criteria panels show the node's classification criteria as they are.
void frmConfigAdv::LoadCriteria() {
    LoadOptions(ui->cboDefPrio, "PRIO_OPTIONS", "DEFAULT_PRIO");
    ui->cboCriterion->clear();
    ui->cbo1Criterion->clear();
    for (const QString& option : SplitOptionList(Value("CRITERION_OPTIONS"))) {
        ui->cboCriterion->addItem(option);
        ui->cbo1Criterion->addItem(option);
    }
    ui->cboCriterion->setEditText(Value("CRITERION_0"));
    ui->cbo1Criterion->setEditText(Value("CRITERION_1"));
    LoadText(ui->txt1Offset, "CUSTOM_1_OFFSET");
    LoadText(ui->txt1Pattern, "CUSTOM_1_PATTERN");
    LoadText(ui->txt1ClassOffset, "CUSTOM_1_CLASS_OFFSET");
    LoadText(ui->txt1Bitmask, "CUSTOM_1_BITMASK");
    LoadText(ui->txt1ClassBitmask, "CUSTOM_1_CLASS_BITMASK");
    LoadText(ui->txtOffset, "CUSTOM_0_OFFSET");
    LoadText(ui->txtPattern, "CUSTOM_0_PATTERN");
    LoadText(ui->txtClassOffset, "CUSTOM_0_CLASS_OFFSET");
    LoadText(ui->txtBitmask, "CUSTOM_0_BITMASK");
    LoadText(ui->txtClassBitmask, "CUSTOM_0_CLASS_BITMASK");
}

// The presets of both QoS panels that match the node's classification
// criteria, with their port and priority fields.
void frmConfigAdv::LoadQosPanels() {
    LoadAdvancedRules();
    LoadQoSRule();
}

void frmConfigAdv::ShowQoSMap(bool visible) {
    for (int k = 0; k < kMapEntries; ++k) {
        lblQoSPrec(k)->setVisible(visible);
        txtQoSMap(k)->setVisible(visible);
    }
}

void frmConfigAdv::LoadAdvancedRules() {
    const QStringList presets =
        CatalogueEntries(QStringLiteral("cboQoSAdvnum"), QStringLiteral("cboQoSAdv"));
    FillEntries(ui->cboRule1, presets);
    FillEntries(ui->cboRule2, presets);
    const struct {
        QComboBox* rule;
        QLineEdit* port;
        QLabel* portLabel;
    } panels[] = {{ui->cboRule1, ui->txtPort1, ui->lblPort1},
                  {ui->cboRule2, ui->txtPort2, ui->lblPort2}};
    int rule = 0;
    for (int n = 0; n < 2; ++n) {
        const QString prefix = QStringLiteral("CUSTOM_%1_").arg(n);
        const CriterionPreset preset = RecogniseCriterion(
            ReadResponseValue(QStringLiteral("CRITERION_%1").arg(n)), prefix, rule);
        rule = preset.rule;
        panels[n].rule->setCurrentIndex(rule);
        panels[n].port->setVisible(preset.port);
        panels[n].portLabel->setVisible(preset.port);
        if (preset.port) {
            panels[n].port->setText(
                PortOfClass(ReadResponseValue(prefix + QStringLiteral("CLASS_PATTERN")),
                            ReadResponseValue(prefix + QStringLiteral("CLASS_BITMASK"))));
        }
    }
}

void frmConfigAdv::LoadQoSRule() {
    FillEntries(ui->cboQoSRule,
                CatalogueEntries(QStringLiteral("cboQoSnum"), QStringLiteral("cboQoS")));
    ui->txtQoSPort->setVisible(false);
    ui->lblQoSPort->setVisible(false);
    ShowQoSMap(false);
    const QString criterion0 = ReadResponseValue(QStringLiteral("CRITERION_0"));
    const QString criterion1 = ReadResponseValue(QStringLiteral("CRITERION_1"));
    const double classOffset0 = Val(ReadResponseValue(QStringLiteral("CUSTOM_0_CLASS_OFFSET")));
    const double classOffset1 = Val(ReadResponseValue(QStringLiteral("CUSTOM_1_CLASS_OFFSET")));
    const QString classPattern0 = ReadResponseValue(QStringLiteral("CUSTOM_0_CLASS_PATTERN"));
    const QString classMask0 = ReadResponseValue(QStringLiteral("CUSTOM_0_CLASS_BITMASK"));
    const QString classPrio0 = ReadResponseValue(QStringLiteral("CUSTOM_0_CLASS_PRIO"));
    const QString classPrio1 = ReadResponseValue(QStringLiteral("CUSTOM_1_CLASS_PRIO"));
    const bool none0 = criterion0 == QLatin1String("None");
    const bool none1 = criterion1 == QLatin1String("None");
    // Later tests win over earlier ones.
    int selection = -1;
    QStringList map;
    if (none0 && none1) {
        selection = 0;
    }
    if (classOffset0 == 38 && none1) {
        selection = 1;
    }
    if (classOffset0 == 40 && none1) {
        selection = 2;
    }
    if (criterion0 == QLatin1String("8021p") && none1) {
        selection = 3;
    }
    if (classOffset0 == 19 && none1) {
        selection = 4;
        map = Pieces(classPrio0);
    }
    if (none0 && classOffset1 == 19) {
        selection = 5;
        map = Pieces(classPrio1);
    }
    ui->cboQoSRule->setCurrentIndex(selection);
    if (selection == 1 || selection == 2) {
        ui->txtQoSPort->setVisible(true);
        ui->lblQoSPort->setVisible(true);
        ui->txtQoSPort->setText(PortOfClass(classPattern0, classMask0));
    }
    if (selection == 4 || selection == 5) {
        ShowQoSMap(true);
        // A list of fewer than eight priorities leaves the rest empty.
        for (int k = 0; k < 8; ++k) {
            txtQoSMap(k)->setText(k < map.size() ? QString::number(ValInt(map[k].mid(1, 1)))
                                                 : QString());
        }
    }
}

void frmConfigAdv::cboQoSRule_Click() {
    const int rule = ui->cboQoSRule->currentIndex();
    ui->lblQoSPort->setVisible(TakesPort(rule));
    ui->txtQoSPort->setVisible(TakesPort(rule));
    ui->txtQoSPort->clear();
    if (TakesMap(rule)) {
        // The type-of-service byte and its later reading as DSCP name the same
        // precedences differently.
        const QString caption =
            GetText(rule == 4 ? QStringLiteral("lblPrecTOS") : QStringLiteral("lblPrecDSCP"));
        for (int k = 0; k < kMapEntries; ++k) {
            lblQoSPrec(k)->setText(caption + QStringLiteral(" %1").arg(k + 1));
        }
    }
    for (int k = 0; k < kMapEntries; ++k) {
        lblQoSPrec(k)->setVisible(TakesMap(rule));
        txtQoSMap(k)->setVisible(TakesMap(rule));
        txtQoSMap(k)->clear();
    }
}

void frmConfigAdv::cboRule1_Click() {
    ShowPresetPort(ui->cboRule1, ui->lblPort1, ui->txtPort1);
}

void frmConfigAdv::cboRule2_Click() {
    ShowPresetPort(ui->cboRule2, ui->lblPort2, ui->txtPort2);
}

// txtQoSPort_LostFocus, txtPort1_LostFocus, txtPort2_LostFocus and
// txtQoSMap0_LostFocus to txtQoSMap7_LostFocus: a field once left holds a
// number the node takes.
void frmConfigAdv::ClampOnLeaving(QLineEdit* field, int highest) {
    OnLostFocus(field,
                [field, highest] { field->setText(ClampedFieldText(field->text(), 0, highest)); });
}

void frmConfigAdv::ReportQoSSends(const QStringList& refusals, bool anyTaken) {
    for (const QString& refusal : refusals) {
        MsgBox(refusal, MsgIcon::Exclamation, Session().errSaving);
    }
    if (anyTaken) {
        RereadParameterList();
    }
}

// Both sends keep the status window up over the disabled window until all
// their requests have run; each refusal is told after that.
void frmConfigAdv::cmdQoSUpdate_Click() {
    QStringList refusals;
    bool taken = false;
    {
        const BusyOperation operation(this, Session().lblSave);
        QStringList priorities;
        for (int k = 0; k < kMapEntries; ++k) {
            priorities << txtQoSMap(k)->text();
        }
        if (!WriteRequest(Session().PostRequestFile,
                          PostHeader() + QoSRuleLines(ui->cboQoSRule->currentIndex(),
                                                      ui->txtQoSPort->text(), priorities))) {
            return;
        }
        if (const std::optional<QString> refusal = RunQoSRequest(1, 3)) {
            refusals << *refusal;
        } else {
            taken = true;
        }
    }
    ReportQoSSends(refusals, taken);
}

void frmConfigAdv::cmdQoSAdvUpdate_Click() {
    QStringList refusals;
    bool taken = false;
    {
        const BusyOperation operation(this, Session().lblSave);
        const struct {
            const QComboBox* rule;
            const QLineEdit* port;
        } criteria[] = {{ui->cboRule1, ui->txtPort1}, {ui->cboRule2, ui->txtPort2}};
        for (int criterion = 0; criterion < 2; ++criterion) {
            const int preset = criteria[criterion].rule->currentIndex();
            // A criterion the load matched to no preset is left as the node has it.
            if (preset < 0) {
                continue;
            }
            if (!WriteRequest(Session().PostRequestFile,
                              PostHeader() + QoSCriterionLines(preset, criterion,
                                                               criteria[criterion].port->text()))) {
                break;
            }
            if (const std::optional<QString> refusal = RunQoSRequest(2 * criterion + 1, 5)) {
                refusals << *refusal;
            } else {
                taken = true;
            }
        }
    }
    ReportQoSSends(refusals, taken);
}
