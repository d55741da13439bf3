#include "RuleRecognition.h"

#include "Loading.h"
#include "app/Values.h"
#include "channel/Response.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"

namespace {

// Frame selectors of the presets: IP frames, and UDP or TCP inside them, as the
// node reports a pattern (right-padded to 16 digits).
const QString kIpFrames = QStringLiteral("0800000000000000");
const QString kUdp = QStringLiteral("1100000000000000");
const QString kTcp = QStringLiteral("0600000000000000");

// The advanced presets without a frame selector.
constexpr int kPriorityTagRule = 6;
constexpr int kNoRule = 7;

QString Quoted(const QString& piece) {
    return QLatin1Char('\'') + piece + QLatin1Char('\'');
}

// The pieces of a list value with their quotes; an empty value has none.
QStringList Pieces(const QString& value) {
    return value.isEmpty() ? QStringList() : value.split(QLatin1Char(','));
}

// Preset names from the catalogue: a count, then one text per entry.
QStringList CatalogueEntries(const QString& countKey, const QString& entryKey) {
    QStringList entries;
    const int count = ValInt(GetText(countKey));
    for (int k = 1; k <= count; ++k) {
        entries << GetText(entryKey + QString::number(k));
    }
    return entries;
}

// The port held in the first class value: the digits after its opening quote
// that the class mask covers (the mask's digits before its first "0"). Empty
// when the mask covers nothing or the digits are no hexadecimal number.
QString PortOfClass(const QString& classPattern, const QString& classMask) {
    const qsizetype digits = classMask.indexOf(QLatin1Char('0'));
    if (digits < 1) {
        return QString();
    }
    const std::optional<qint32> port = HexToLong(Pieces(classPattern).value(0).mid(1, digits));
    return port ? QString::number(*port) : QString();
}

struct CriterionPreset {
    int rule;
    bool port;
};

// The advanced preset that criterion n matches. A custom criterion that
// matches no preset keeps the rule found before it.
CriterionPreset RecogniseCriterion(const QString& criterion, const QString& prefix, int rule) {
    if (criterion == QLatin1String("None")) {
        return {kNoRule, false};
    }
    if (criterion == QLatin1String("8021p")) {
        return {kPriorityTagRule, false};
    }
    const QString pattern = ReadResponseValue(prefix + QStringLiteral("PATTERN"));
    const QString firstClass =
        Pieces(ReadResponseValue(prefix + QStringLiteral("CLASS_PATTERN"))).value(0);
    CriterionPreset found{rule, false};
    if (pattern == kIpFrames && firstClass == Quoted(kUdp)) {
        found.rule = 0;
    }
    if (pattern == kIpFrames && firstClass == Quoted(kTcp)) {
        found.rule = 1;
    }
    const QString firstPrio =
        Pieces(ReadResponseValue(prefix + QStringLiteral("CLASS_PRIO"))).value(0);
    const struct {
        const QString& protocol;
        const char* prio;
        int rule;
    } portPresets[] = {{kUdp, "'6'", 2}, {kUdp, "'1'", 3}, {kTcp, "'6'", 4}, {kTcp, "'1'", 5}};
    for (const auto& preset : portPresets) {
        if (pattern == preset.protocol && firstPrio == QLatin1String(preset.prio)) {
            found = {preset.rule, true};
        }
    }
    return found;
}

void ShowQoSPort(Ui::frmConfigAdv& ui, bool visible) {
    ui.txtQoSPort->setVisible(visible);
    ui.lblQoSPort->setVisible(visible);
}

void ShowQoSMap(frmConfigAdv* window, bool visible) {
    for (int k = 0; k < 8; ++k) {
        window->lblQoSPrec(k)->setVisible(visible);
        window->txtQoSMap(k)->setVisible(visible);
    }
}

}  // namespace

void LoadAdvancedRules(frmConfigAdv* window) {
    Ui::frmConfigAdv& ui = window->ui;
    const QStringList presets =
        CatalogueEntries(QStringLiteral("cboQoSAdvnum"), QStringLiteral("cboQoSAdv"));
    FillEntries(ui.cboRule1, presets);
    FillEntries(ui.cboRule2, presets);
    const struct {
        QComboBox* rule;
        QLineEdit* port;
        QLabel* portLabel;
    } panels[] = {{ui.cboRule1, ui.txtPort1, ui.lblPort1}, {ui.cboRule2, ui.txtPort2, ui.lblPort2}};
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

void LoadQoSRule(frmConfigAdv* window) {
    Ui::frmConfigAdv& ui = window->ui;
    FillEntries(ui.cboQoSRule,
                CatalogueEntries(QStringLiteral("cboQoSnum"), QStringLiteral("cboQoS")));
    ShowQoSPort(ui, false);
    ShowQoSMap(window, false);
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
    ui.cboQoSRule->setCurrentIndex(selection);
    if (selection == 1 || selection == 2) {
        ShowQoSPort(ui, true);
        ui.txtQoSPort->setText(PortOfClass(classPattern0, classMask0));
    }
    if (selection == 4 || selection == 5) {
        ShowQoSMap(window, true);
        // A list of fewer than eight priorities leaves the rest empty.
        for (int k = 0; k < 8; ++k) {
            window->txtQoSMap(k)->setText(k < map.size() ? QString::number(ValInt(map[k].mid(1, 1)))
                                                         : QString());
        }
    }
}
