#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;

// Shows every line of the response file, in order, in the advanced window's
// parameter list; tells the user when there is no response.
void ListResponseLines();

// Fills every control of the advanced window from the response of a request
// for all parameters. Each control's change rule runs as the load sets it,
// as if the user had made the change.
void LoadDeviceParameters();

// Shows and fills the encryption controls of the security panel, or, with a
// non-zero hide flag, hides them.
void LoadEncryptionSettings(int hide);

// Fetches every parameter of the selected node again and reloads the window;
// a failed fetch leaves every control as it was.
void RefreshDeviceParameters();

// Replaces the entries of a combo box and leaves it without a selection,
// without running its selection rule: filling is no choice of the user's.
void FillEntries(QComboBox* combo, const QStringList& entries);

// Position of the first entry whose text equals the text exactly, -1 for none.
int FindComboIndex(const QString& text, const QComboBox* combo);

// The text read as a hexadecimal number of one to eight digits, in 32 bits
// (so FFFFFFFF reads as -1); nothing for any other text.
std::optional<qint32> HexToLong(QStringView text);
