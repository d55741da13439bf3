#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;
class QLineEdit;

// What every panel of the advanced window loads with: values of the last
// read of all parameters, still in the response file.

// The value of a parameter key in the response.
QString Value(const char* key);

// A text box showing a parameter's value.
void LoadText(QLineEdit* box, const char* key);

// A drop-down list filled from an option list, with the node's current value
// selected; the list's selection rule runs once, for that selection.
void LoadOptions(QComboBox* combo, const char* optionsKey, const char* valueKey);

// Replaces the entries of a combo box and leaves it without a selection,
// without running its selection rule: filling is no choice of the user's.
void FillEntries(QComboBox* combo, const QStringList& entries);

// Position of the first entry whose text equals the text exactly, -1 for none.
int FindComboIndex(const QString& text, const QComboBox* combo);

// The text read as a hexadecimal number of one to eight digits, in 32 bits
// (so FFFFFFFF reads as -1); nothing for any other text.
std::optional<qint32> HexToLong(QStringView text);
