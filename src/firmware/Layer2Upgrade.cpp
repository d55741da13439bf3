#include "Layer2Upgrade.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"

namespace {

// How the status poll after a transfer ended.
enum class PollEnd { Finished, Failed, TimedOut };

struct PollResult {
    PollEnd end = PollEnd::TimedOut;
    // What the user is told: the node's last status, which says why a
    // flash failed, or the first line of a response that was no answer.
    QString told;
};

// What the user is told of an upgrade once its status window has gone, so
// that no box stands over a bar left part way.
using Report = std::function<void()>;

// Asks the node for its status every two seconds until it reports the end
// or a failure, the client gets no answer, or the time limit is reached.
PollResult PollUpgradeStatus() {
    PollResult result;
    for (int waited = 0; waited < kL2PollLimitMs; waited += kL2PollPauseMs) {
        Wait(kL2PollPauseMs);
        RunClient(Session().GetRequestFile);
        if (!ResponseStartsWith(QStringLiteral("INFO"))) {
            result.end = PollEnd::Failed;
            result.told = ReadResponseFirstLine();
            return result;
        }
        const QString status = ReadResponseValue(QStringLiteral("FLUP_STATUS"));
        result.told = NodeStatusText(status);
        if (StatusContains(status, QLatin1String("finished"))) {
            result.end = PollEnd::Finished;
            return result;
        }
        if (StatusContains(status, QLatin1String("failed"))) {
            result.end = PollEnd::Failed;
            return result;
        }
    }
    return result;
}

void ReportPollEnd(const PollResult& poll, const std::function<void()>& resetNode) {
    const SessionState& s = Session();
    switch (poll.end) {
        case PollEnd::Finished:
            resetNode();
            MsgBox(s.errUpgradeOk, MsgIcon::Information);
            break;
        case PollEnd::Failed:
        case PollEnd::TimedOut:
            MsgBox(poll.told, MsgIcon::Exclamation, s.errUpgradeKo);
            break;
    }
}

// Server and client together: the server serves the file on the host
// interface while the client tells the node to fetch it. Nothing to tell
// when both did their part; otherwise what tells the user why.
Report SendFirmware(QWidget* window, const QString& firmwareFile) {
    const SessionState& s = Session();
    DeleteResponse();
    DeleteFirmwareServerResult();
    QDir::setCurrent(s.WorkDir);
    const int exitCode =
        RunServerAndClientAndWait(FirmwareServerCommandLine(firmwareFile, s.InterfaceNumber),
                                  ClientCommandLine(s.PostRequestFile));
    SetProgress(2, 5);
    if (!FirmwareServerRan(exitCode)) {
        return [exitCode] { ReportServerCrash(exitCode); };
    }
    // The client's verdict is taken first, so a missing response is told
    // whatever the server says; the server's dialog then says more.
    const bool accepted = ResponseStartsWith(QStringLiteral("0"));
    const qint16 code = FirmwareServerResultCode();
    if (code != 0) {
        return [window, code] { ShowFirmwareServerError(window, code); };
    }
    if (!accepted) {
        return [refusal = ReadResponseFirstLine()] {
            MsgBox(refusal, MsgIcon::Exclamation, Session().errUpgradeKo);
        };
    }
    return {};
}

}  // namespace

QString FirmwareServerCommandLine(const QString& firmwareFile, int interfaceArgument) {
    return QStringLiteral("winl2fwserver.exe \"") + QDir::toNativeSeparators(firmwareFile) +
           QStringLiteral("\" ") + QString::number(interfaceArgument);
}

void DeleteFirmwareServerResult() {
    const QString& result = Session().FirmwareServerResultFile;
    if (FileExists(result)) {
        QFile::remove(result);
    }
}

QString ReadFirmwareServerResult() {
    const SessionState& s = Session();
    if (!FileExists(s.FirmwareServerResultFile)) {
        return s.errReceiving;
    }
    return ReadFirstLine(s.FirmwareServerResultFile).value_or(s.errReceiving);
}

qint16 FirmwareServerResultCode() {
    return static_cast<qint16>(std::clamp(ValInt(ReadFirmwareServerResult()), -32768, 32767));
}

bool FirmwareServerRan(int exitCode) {
    return exitCode != kToolNotStarted && exitCode != kToolCrashed;
}

void ReportServerCrash(int exitCode) {
    if (exitCode == kToolCrashed) {
        MsgBox(Session().errReceiving, MsgIcon::Exclamation, Session().errUpgradeKo);
    }
}

QString UpgradeErrorShortText(qint16 code) {
    if (code < 1 || code > 9) {
        return QString();
    }
    return Session().errCodeUpgrade[code];
}

void ShowFirmwareServerError(QWidget* owner, qint16 code) {
    ShowUpgradeError(owner, Session().errUpgradeKo, UpgradeErrorShortText(code), code);
}

namespace {
// The loader page carries the file dialog's title and filter.
QPointer<QWidget> gDialogTexts;
}  // namespace

void SetFirmwareDialogTexts(QWidget* page) {
    gDialogTexts = page;
}

QString ChooseFirmwareFile(QWidget* owner) {
    const QWidget* page = gDialogTexts;
    Q_ASSERT(page);
    QString path = TheDialogs().openFileName(owner, page->property("cdlOpenTitle").toString(),
                                             page->property("cdlOpenFilter").toString());
    QDir::setCurrent(Session().WorkDir);
    return path;
}

bool StatusContains(const QString& status, QLatin1String word) {
    return status.toLower().contains(word);
}

QString NodeStatusText(const QString& status) {
    // The status words nodes report and the catalogue texts that tell them.
    static const std::pair<const char*, const char*> kWords[] = {
        {"idle", "lblFlupIdle"},
        {"initial", "lblFlupInitial"},
        {"downloading", "lblFlupDownloading"},
        {"finished", "lblFlupFinished"},
        {"failed", "lblFlupFailed"}};
    const qsizetype colon = status.indexOf(QLatin1Char(':'));
    const QString word = status.left(colon).trimmed().toLower();
    for (const auto& [known, key] : kWords) {
        if (word == QLatin1String(known)) {
            // A catalogue without the text shows the status as it came.
            const QString text = GetTextOr(QLatin1String(key), status.left(colon));
            return colon < 0 ? text : text + status.mid(colon);
        }
    }
    return status;
}

bool WriteL2UpgradeRequest() {
    return WritePostRequest(QStringLiteral("FLUP_L2_OK=Ok"));
}

void UpgradeSelectedNode(QWidget* window, const QString& firmwareFile,
                         const std::function<void()>& resetNode) {
    const SessionState& s = Session();
    Report report;
    {
        const BusyOperation operation(window, s.lblUpgrade);
        if (!WriteL2UpgradeRequest()) {
            return;
        }
        SetProgress(1, 5);
        report = SendFirmware(window, firmwareFile);
        if (!report) {
            if (!WriteGetRequest({QStringLiteral("FLUP_STATUS"), QStringLiteral("NULL")},
                                 s.SelectedMac, s.NodePassword)) {
                return;
            }
            SetProgress(3, 5);
            SetStatusMessage(s.lblCalcCRC);
            const PollResult poll = PollUpgradeStatus();
            SetProgress(4, 5);
            // The restart runs as the hardware reset does, in a status
            // window of its own.
            report = [poll, resetNode] { ReportPollEnd(poll, resetNode); };
        }
    }
    report();
}
