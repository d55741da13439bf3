#pragma once

#include <QString>
#include <QStringList>

#include "app/Seams.h"
#include "node/Walk.h"

// The command line's terminal: output on stdout, one line per message on
// stderr, progress and prompts only where a person watches.

bool StdinIsTerminal();
bool StderrIsTerminal();

// Writes the text and a line end to stdout or stderr. Out is the commands'
// text output, which --json replaces with Print's one document.
void Out(const QString& line);
void Print(const QString& line);
void Err(const QString& line);
void SetTextOutput(bool on);

// Reads a line from the terminal without showing what is typed; empty when
// stdin is no terminal or nothing was typed.
QString PromptHidden(const QString& prompt);

// What the running step is called on the progress line.
void SetProgressLabel(const QString& label);
// Shows progress on stderr when it is a terminal; clears the line at the end.
void InstallTerminalProgress();
void ClearProgress();

// Message boxes as one stderr line each; a Yes/No question is answered Yes
// only when the user said so beforehand. No window is ever shown.
class TerminalDialogs : public Dialogs {
public:
    explicit TerminalDialogs(bool answerYes) : answerYes_(answerYes) {}
    MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                         const QString& title) override;
    int execModal(QDialog* dialog) override;
    QString openFileName(QWidget* owner, const QString& title, const QString& filter) override;
    QString saveFileName(QWidget* owner, const QString& title, const QString& filter) override;
    bool openDocument(const QString& path) override;
    bool openUrl(const QUrl& url) override;

private:
    bool answerYes_;
};

// The walk's list kept in memory; passwords asked on the terminal only.
class TerminalWalkView : public WalkView {
public:
    QString localNodeLine() const override { return local_; }
    QStringList nodeLines() const override { return lines_; }
    void setLocalNodeLine(const QString& line) override { local_ = line; }
    void addNodeLine(const QString& line) override { lines_.append(line); }
    QString askPassword(const QString& prompt) override;
    void enterLockedState(const QString& mac) override;
    std::unique_ptr<WalkStep> beginStep(const QString& message) override;

private:
    QString local_;
    QStringList lines_;
};
