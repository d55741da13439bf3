#pragma once

#include <QString>
#include <QStringList>

// Numbers typed into the QoS and VLAN fields are read as a person reads them:
// the leading decimal number, 0 when there is none.

// A field's numeric value written back in decimal: "0100" and "100abc" both
// become "100", letters alone "0"; a fraction keeps its decimals.
QString DecimalText(double value);

// The field's numeric value kept within the bounds, in decimal.
QString ClampedFieldText(const QString& text, int lowest, int highest);

// A port field as the node matches it: its number in capital hexadecimal,
// at least four digits and never cut ("80" gives 0050, "" gives 0000).
QString PortPattern(const QString& portText);

// The lines of a QoS-panel rule that follow a POST's two header lines. Rules 1
// and 2 take the port, rules 4 and 5 the eight priorities as typed; a position
// outside 0 to 5 gives no lines.
QStringList QoSRuleLines(int position, const QString& portText, const QStringList& priorities);

// The lines that set classification criterion 0 or 1 to one preset of the
// advanced QoS panel; presets 2 to 5 take the port. A preset outside 0 to 7
// gives no lines.
QStringList QoSCriterionLines(int preset, int criterion, const QString& portText);
