#include "NodeAccess.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"

namespace {

constexpr int kFactorySteps = 14;
constexpr int kFactoryWaitMs = 3000;

// A count that is no whole number in range reads as 0: not a fresh start.
qint16 BootCount(const QString& text) {
    bool ok = false;
    const qint16 count = text.trimmed().toShort(&ok);
    return ok ? count : qint16{0};
}

}  // namespace

SelectedNodeSwitch::SelectedNodeSwitch(const QString& mac, const QString& password)
    : mac_(Session().SelectedMac), password_(Session().NodePassword) {
    Session().SelectedMac = mac;
    Session().NodePassword = password;
}

SelectedNodeSwitch::~SelectedNodeSwitch() {
    Session().SelectedMac = mac_;
    Session().NodePassword = password_;
}

SettingsRead ReadSelectedSettings() {
    const SessionState& s = Session();
    SettingsRead read;
    if (!WriteGetAllRequest()) {
        read.answer = NodeAnswer::NotWritten;
        return read;
    }
    Progress(1, 2);
    RunClient(s.GetRequestFile);
    Progress(2, 2);
    read.lines = ReadLines(s.ResponseFile).value_or(QStringList());
    const QString first = read.lines.value(0);
    if (first == QLatin1String("INFO")) {
        read.answer = NodeAnswer::Answered;
        read.settings = SettingsFromResponse(read.lines);
    } else {
        read.answer =
            first.startsWith(QLatin1Char('2')) ? NodeAnswer::Refused : NodeAnswer::NoAnswer;
    }
    return read;
}

PostResult PostToSelected(const QStringList& settings, bool leavesNetwork) {
    const SessionState& s = Session();
    PostResult result;
    DeleteResponse();
    if (!WriteRequest(s.PostRequestFile, PostHeader() + settings)) {
        result.answer = NodeAnswer::NotWritten;
        return result;
    }
    Progress(1, 3);
    RunAndWait(ClientCommandLine(s.PostRequestFile));
    Progress(2, 3);
    // A missing answer is told once, by the first test.
    const bool taken = ResponseStartsWith(QStringLiteral("0"));
    result.leftNetwork = !taken && leavesNetwork && FileExists(s.ResponseFile) &&
                         ResponseStartsWith(QStringLiteral("3"));
    if (taken || result.leftNetwork) {
        result.answer = NodeAnswer::Answered;
    } else {
        result.firstLine = ReadResponseFirstLine();
        result.answer = result.firstLine.startsWith(QLatin1Char('2')) ? NodeAnswer::Refused
                                                                      : NodeAnswer::NoAnswer;
    }
    Progress(3, 3);
    return result;
}

bool WriteHardwareResetRequest() {
    return WritePostRequest(QStringLiteral("HW_RESET_OK=Ok"));
}

bool RunHardwareReset() {
    const SessionState& s = Session();
    Progress(1, kRestartSteps);
    RunClient(s.PostRequestFile);
    Progress(2, kRestartSteps);
    const bool accepted =
        ResponseStartsWith(QStringLiteral("0")) || ResponseStartsWith(QStringLiteral("3"));
    if (accepted) {
        WaitForRestart();
    }
    return accepted;
}

void WaitForRestart() {
    Wait(kRestartPauseMs);
    for (int k = 3; k < kRestartSteps; ++k) {
        Progress(k, kRestartSteps);
        Wait(kRestartPauseMs);
    }
}

bool WriteFactoryResetRequests(const QString& factoryPassword) {
    const SessionState& s = Session();
    return WriteRequest(s.PostRequestFile,
                        {QStringLiteral("POST ") + s.SelectedMac,
                         QStringLiteral(".FACTORY_PASSWORD=") + factoryPassword}) &&
           WriteGetRequest({QStringLiteral("NUM_BOOTS"), QStringLiteral("NULL")}, s.SelectedMac,
                           GetText(QStringLiteral("defaultpassword")));
}

FactoryOutcome RunFactoryReset(bool askNode) {
    const SessionState& s = Session();
    Progress(1, kFactorySteps);
    Progress(2, kFactorySteps);
    RunClient(s.PostRequestFile);
    if (!ResponseStartsWith(QStringLiteral("0"))) {
        return ResponseStartsWith(QStringLiteral("2")) ? FactoryOutcome::WrongPassword
                                                       : FactoryOutcome::Refused;
    }
    Progress(3, kFactorySteps);
    for (int k = 4; k <= kFactorySteps; ++k) {
        Wait(kFactoryWaitMs);
        Progress(k, kFactorySteps);
    }
    DeleteResponse();
    if (!askNode) {
        return FactoryOutcome::Fresh;
    }
    RunClient(s.GetRequestFile);
    const bool answered = ResponseStartsWith(QStringLiteral("INFO"));
    const qint16 boots = BootCount(ReadResponseValue(QStringLiteral("NUM_BOOTS")));
    if (!answered) {
        return FactoryOutcome::Unanswered;
    }
    return boots == 1 ? FactoryOutcome::Fresh : FactoryOutcome::NotFresh;
}

RestoreRun RunRestore(const RestorePlan& plan, bool nodeOnWire) {
    RestoreRun run;
    bool reachable = true;
    for (const GroupSend& send : plan.sends) {
        if (!reachable) {
            run.notSent.append(send.group);
            continue;
        }
        const GroupInfo& info = Group(send.group);
        const PostResult post = PostToSelected(send.lines, info.leavesNetwork);
        GroupResult result{send.group, post.answer, post.firstLine};
        if (post.answer == NodeAnswer::Answered && info.restartAfter) {
            // The node takes these settings only when it starts.
            if (!WriteHardwareResetRequest() || !RunHardwareReset()) {
                result.answer = NodeAnswer::NoAnswer;
                result.firstLine = ReadResponseFirstLine();
            }
        }
        run.results.append(result);
        const bool left = !nodeOnWire && info.leavesNetwork && post.answer == NodeAnswer::Answered;
        run.leftNetwork = run.leftNetwork || left;
        reachable =
            !left && post.answer != NodeAnswer::Refused && post.answer != NodeAnswer::NotWritten;
    }
    return run;
}
