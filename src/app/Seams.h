#pragma once

#include <QString>
#include <optional>

class QDialog;
class QUrl;
class QWidget;

enum class MsgIcon { Information, Exclamation, Stop, Question, NoIcon };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Every message box, modal dialog, file dialog and "open with its program"
// goes through this one interface; tests install a recorder in its place.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // title: nothing gives the application title; an empty text an empty title.
    virtual MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                                 const QString& title) = 0;
    // Shows the dialog modally and returns when it is closed.
    virtual int execModal(QDialog* dialog) = 0;
    // The chosen file, or the empty text when the user cancelled.
    virtual QString openFileName(QWidget* owner, const QString& title, const QString& filter) = 0;
    // The file to write, or the empty text when the user cancelled. The
    // dialog asks before an existing file is replaced.
    virtual QString saveFileName(QWidget* owner, const QString& title, const QString& filter) = 0;
    // Opens a document with the program the desktop associates with it.
    virtual bool openDocument(const QString& path) = 0;
    // Opens a web page, a local one too, in the desktop's browser.
    virtual bool openUrl(const QUrl& url) = 0;
};

inline const QString kAppTitle = QStringLiteral("Kaldor Config Tool");

// A message box; without a title of its own it shows the application title.
MsgAnswer MsgBox(const QString& text, MsgIcon icon = MsgIcon::Exclamation,
                 const std::optional<QString>& title = std::nullopt,
                 MsgButtons buttons = MsgButtons::Ok);

// One of the fixed waits. The program takes no input meanwhile but keeps
// repainting, so the desktop never sees it as hung.
void Wait(int milliseconds);

// How far the running step has come: k of n. Shown on the status window of
// the assistant's running operation, on a terminal by the command line, and
// nowhere until one of them installs its display.
void Progress(int k, int n);

Dialogs& TheDialogs();
void InstallDialogs(Dialogs* dialogs);
void InstallWait(void (*wait)(int milliseconds));
void InstallProgress(void (*progress)(int k, int n));
