#include "RuleRecognition.h"

#include "Loading.h"
#include "app/Values.h"
#include "channel/Response.h"
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

}  // namespace

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
