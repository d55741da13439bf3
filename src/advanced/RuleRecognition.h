#pragma once

#include <QString>
#include <QStringList>

// How the QoS panels recognise their presets in a node's classification
// criteria.

// The pieces of a list value with their quotes; an empty value has none.
QStringList Pieces(const QString& value);

// Preset names from the catalogue: a count, then one text per entry.
QStringList CatalogueEntries(const QString& countKey, const QString& entryKey);

// The port held in the first class value: the digits after its opening quote
// that the class mask covers (the mask's digits before its first "0"). Empty
// when the mask covers nothing or the digits are no hexadecimal number.
QString PortOfClass(const QString& classPattern, const QString& classMask);

// The advanced preset that criterion n matches, and whether it takes a port.
struct CriterionPreset {
    int rule;
    bool port;
};

// A custom criterion that matches no preset keeps the rule found before it.
CriterionPreset RecogniseCriterion(const QString& criterion, const QString& prefix, int rule);
