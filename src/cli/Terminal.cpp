#include "Terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QString gLabel;
bool gProgressShown = false;
bool gTextOutput = true;

void Write(std::FILE* stream, const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void ShowProgress(int k, int n) {
    const QString line =
        QStringLiteral("\r\033[K") + gLabel + QStringLiteral(" [%1/%2]").arg(k).arg(n);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    gProgressShown = true;
}

class TerminalStep : public WalkStep {
public:
    void finish() override {}
};

}  // namespace

bool StdinIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void Out(const QString& line) {
    if (gTextOutput) {
        ClearProgress();
        Write(stdout, line);
    }
}

void Print(const QString& line) {
    Write(stdout, line);
}

void SetTextOutput(bool on) {
    gTextOutput = on;
}

void Err(const QString& line) {
    ClearProgress();
    Write(stderr, line);
}

QString PromptHidden(const QString& prompt) {
    if (!StdinIsTerminal()) {
        return {};
    }
    ClearProgress();
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    std::fputs("\n", stderr);
    return QString::fromLocal8Bit(line);
}

void SetProgressLabel(const QString& label) {
    gLabel = label;
}

void InstallTerminalProgress() {
    if (StderrIsTerminal()) {
        InstallProgress(ShowProgress);
    }
}

void ClearProgress() {
    if (gProgressShown) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        gProgressShown = false;
    }
}

MsgAnswer TerminalDialogs::messageBox(const QString& text, MsgIcon /*icon*/, MsgButtons buttons,
                                      const QString& /*title*/) {
    // A box's text may run over several lines; the terminal gets one.
    Err(QStringLiteral("kaldor-cli: ") + text.simplified());
    if (buttons == MsgButtons::YesNo) {
        return answerYes_ ? MsgAnswer::Yes : MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

int TerminalDialogs::execModal(QDialog* /*dialog*/) {
    return 0;
}

QString TerminalDialogs::openFileName(QWidget* /*owner*/, const QString& /*title*/,
                                      const QString& /*filter*/) {
    return {};
}

QString TerminalDialogs::saveFileName(QWidget* /*owner*/, const QString& /*title*/,
                                      const QString& /*filter*/) {
    return {};
}

bool TerminalDialogs::openDocument(const QString& /*path*/) {
    return false;
}

bool TerminalDialogs::openUrl(const QUrl& /*url*/) {
    return false;
}

QString TerminalWalkView::askPassword(const QString& prompt) {
    return PromptHidden(prompt + QStringLiteral(": "));
}

void TerminalWalkView::enterLockedState(const QString& /*mac*/) {}

std::unique_ptr<WalkStep> TerminalWalkView::beginStep(const QString& message) {
    SetProgressLabel(message);
    return std::make_unique<TerminalStep>();
}
