#include "QosRequests.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/Application.h"
#include "app/Values.h"
#include "channel/Requests.h"

namespace {

constexpr int kClasses = 8;

// The frames a custom criterion picks (bytes at an offset, masked, equal to a
// pattern) and the field whose value decides their class.
struct Selector {
    int offset;
    const char* pattern;
    const char* mask;
    int classOffset;
    const char* classMask;
};

// IP frames, classified by their protocol byte.
constexpr Selector kIpProtocol{16, "0800", "FFFF", 27, "FF"};
// UDP or TCP frames inside IP frames, classified by their destination port.
constexpr Selector kUdpPort{27, "11", "FF", 40, "FFFF"};
constexpr Selector kTcpPort{27, "06", "FF", 38, "FFFF"};
// IP frames, classified by the precedence bits of their type-of-service byte.
constexpr Selector kIpPrecedence{16, "0800", "FFFF", 19, "E0"};

// Class values of the precedences 1 to 8; the last two share the top value.
const QStringList kPrecedenceClasses{
    QStringLiteral("20"), QStringLiteral("40"), QStringLiteral("60"), QStringLiteral("80"),
    QStringLiteral("A0"), QStringLiteral("C0"), QStringLiteral("E0"), QStringLiteral("E0")};

QString CriterionLine(int criterion, const char* suffix) {
    return QStringLiteral("CRITERION_%1%2").arg(criterion).arg(QLatin1String(suffix));
}

QStringList CustomLines(int criterion, const Selector& s, const QStringList& classValues,
                        const QStringList& priorities) {
    const QString prefix = QStringLiteral("CUSTOM_%1_").arg(criterion);
    QStringList lines{prefix + QStringLiteral("OFFSET=%1").arg(s.offset),
                      prefix + QStringLiteral("PATTERN=") + QLatin1String(s.pattern),
                      prefix + QStringLiteral("BITMASK=") + QLatin1String(s.mask),
                      prefix + QStringLiteral("CLASS_OFFSET=%1").arg(s.classOffset),
                      prefix + QStringLiteral("CLASS_BITMASK=") + QLatin1String(s.classMask)};
    for (int k = 0; k < kClasses; ++k) {
        lines << prefix + QStringLiteral("CLASS_PATTERN_%1=").arg(k) + classValues.value(k);
    }
    for (int k = 0; k < kClasses; ++k) {
        lines << prefix + QStringLiteral("CLASS_PRIO_%1=").arg(k) + priorities.value(k);
    }
    return lines;
}

// A custom criterion with one class of interest: the rest of the classes
// match nothing and keep priority 0.
QStringList OneClassLines(int criterion, const Selector& s, const QString& classValue,
                          const char* priority) {
    QStringList values(kClasses, QStringLiteral("00"));
    QStringList priorities(kClasses, QStringLiteral("0"));
    values[0] = classValue;
    priorities[0] = QLatin1String(priority);
    return CustomLines(criterion, s, values, priorities);
}

QStringList CriterionLines(int criterion, const char* value, const QStringList& custom = {}) {
    return QStringList{CriterionLine(criterion, value)} + custom +
           QStringList{CriterionLine(criterion, "_OK=Ok")};
}

QStringList CustomCriterion(int criterion, const QStringList& custom) {
    return CriterionLines(criterion, "=Custom", custom);
}

QStringList CriterionOff(int criterion) {
    return CriterionLines(criterion, "=None");
}

}  // namespace

QString DecimalText(double value) {
    // Adding zero turns a typed "-0" into 0.
    return QString::number(value + 0.0, 'g', std::numeric_limits<double>::digits10);
}

QString ClampedFieldText(const QString& text, int lowest, int highest) {
    return DecimalText(std::clamp(Val(text), double(lowest), double(highest)));
}

QString PortPattern(const QString& portText) {
    // A number that was never clamped is taken as the node's 32-bit registers
    // take it: rounded, a negative one wrapped around.
    constexpr double lo = std::numeric_limits<qint32>::min();
    constexpr double hi = std::numeric_limits<qint32>::max();
    const auto value = static_cast<qint32>(std::clamp(std::nearbyint(Val(portText)), lo, hi));
    return QString::number(static_cast<quint32>(value), 16)
        .toUpper()
        .rightJustified(4, QLatin1Char('0'));
}

QStringList QoSRuleLines(int position, const QString& portText, const QStringList& priorities) {
    const QString port = PortPattern(portText);
    switch (position) {
        case 0:
            return CriterionOff(0) + CriterionOff(1);
        case 1:
            return CustomCriterion(0, OneClassLines(0, kTcpPort, port, "6")) + CriterionOff(1);
        case 2:
            return CustomCriterion(0, OneClassLines(0, kUdpPort, port, "6")) + CriterionOff(1);
        case 3:
            return CriterionLines(0, "=8021p") + CriterionOff(1);
        case 4:
            return CustomCriterion(0,
                                   CustomLines(0, kIpPrecedence, kPrecedenceClasses, priorities)) +
                   CriterionOff(1);
        case 5:
            return CriterionOff(0) +
                   CustomCriterion(1,
                                   CustomLines(1, kIpPrecedence, kPrecedenceClasses, priorities));
        default:
            return {};
    }
}

QStringList QoSCriterionLines(int preset, int criterion, const QString& portText) {
    const QString port = PortPattern(portText);
    const int n = criterion;
    switch (preset) {
        case 0:
            return CustomCriterion(n, OneClassLines(n, kIpProtocol, QStringLiteral("11"), "6"));
        case 1:
            return CustomCriterion(n, OneClassLines(n, kIpProtocol, QStringLiteral("06"), "6"));
        case 2:
            return CustomCriterion(n, OneClassLines(n, kUdpPort, port, "6"));
        case 3:
            return CustomCriterion(n, OneClassLines(n, kUdpPort, port, "1"));
        case 4:
            return CustomCriterion(n, OneClassLines(n, kTcpPort, port, "6"));
        case 5:
            return CustomCriterion(n, OneClassLines(n, kTcpPort, port, "1"));
        case 6:
            return CriterionLines(n, "=8021p");
        case 7:
            return CriterionOff(n);
        default:
            return {};
    }
}
