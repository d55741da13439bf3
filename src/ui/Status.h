#pragma once

#include <QString>

class QWidget;

// The status window of an operation: a message and a progress bar. Its
// frame (show, hide, busy cursor) is the operation guard's.
void ShowStatus(const QString& message, QWidget* owner);
void SetProgress(int k, int n);  // bar at k/n of its maximum
void SetProgressFull();
void SetBarValue(int value);  // bar at an absolute value
void SetStatusMessage(const QString& message);
void HideStatus();

// Places a dialog or small window over the middle of its owner's window, or
// of the active window when it has none, and takes away its maximise button.
void CentreOn(QWidget* dialog, QWidget* owner);

// Shows the short error dialog of a firmware error number, created anew each
// time, and returns when the user closes it.
void ShowUpgradeError(QWidget* owner, const QString& title, const QString& shortText,
                      qint16 errorCode);

// The long explanation of a firmware error number; empty outside 1 to 9.
QString UpgradeErrorHelpText(qint16 errorCode);
