// Hardware reset and factory reset. A restarting node does not answer, so both
// wait a fixed time with the progress bar moving instead of polling it.
#include "Reset.h"

#include <optional>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "firmware/Layer2Upgrade.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

namespace {

constexpr int kFactorySteps = 14;
constexpr int kFactoryWaitMs = 3000;

QString DefaultPassword() {
    return GetText(QStringLiteral("defaultpassword"));
}

// The typed factory password of the selected node; empty when the user
// cancelled.
QString AskFactoryPassword() {
    return frmAskPw::Ask(GetText(QStringLiteral("lblAskFactPw")) + QLatin1Char(' ') +
                         NodeName(Session().SelectedMac));
}

// How a factory reset ended.
enum class FactoryOutcome { WrongPassword, Refused, Unanswered, Fresh, NotFresh };

// Writes the reset and the later boot-count query; false, after telling the
// user, when either could not be written.
bool WriteFactoryResetRequests(const QString& password) {
    return WriteFactoryResetRequest(password) &&
           WriteGetRequest({QStringLiteral("NUM_BOOTS"), QStringLiteral("NULL")},
                           Session().SelectedMac, DefaultPassword());
}

// A count that is no whole number in range reads as 0: not a fresh start.
qint16 BootCount(const QString& text) {
    bool ok = false;
    const qint16 count = text.trimmed().toShort(&ok);
    return ok ? count : qint16{0};
}

// Runs the written reset and, when the node took it, waits for the restart;
// then asks the node for its boot count when askNode, else counts it as
// started afresh: a remote node that did so no longer shares the network that
// would carry the question. Runs inside the caller's operation.
FactoryOutcome RunFactoryReset(bool askNode) {
    const SessionState& s = Session();
    SetProgress(1, kFactorySteps);
    SetProgress(2, kFactorySteps);
    RunClient(s.PostRequestFile);
    if (!ResponseStartsWith(QStringLiteral("0"))) {
        return ResponseStartsWith(QStringLiteral("2")) ? FactoryOutcome::WrongPassword
                                                       : FactoryOutcome::Refused;
    }
    SetProgress(3, kFactorySteps);
    for (int k = 4; k <= kFactorySteps; ++k) {
        Wait(kFactoryWaitMs);
        SetProgress(k, kFactorySteps);
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

// Tells the user the outcome, once the operation has ended.
void ReportFactoryReset(FactoryOutcome outcome) {
    const SessionState& s = Session();
    switch (outcome) {
        case FactoryOutcome::WrongPassword:
            MsgBox(s.errPwError, MsgIcon::Exclamation);
            break;
        case FactoryOutcome::Refused:
        case FactoryOutcome::Unanswered:
            MsgBox(s.errFactResetKoOrPw, MsgIcon::Exclamation);
            break;
        case FactoryOutcome::Fresh:
            MsgBox(s.errFactResetOk, MsgIcon::Information);
            break;
        case FactoryOutcome::NotFresh:
            MsgBox(s.errFactResetKo, MsgIcon::Exclamation);
            break;
    }
}

}  // namespace

bool WriteFactoryResetRequest(const QString& password) {
    const SessionState& s = Session();
    return WriteRequest(s.PostRequestFile, {QStringLiteral("POST ") + s.SelectedMac,
                                            QStringLiteral(".FACTORY_PASSWORD=") + password});
}

void frmConfigAdv::ConfirmHardwareReset() {
    const QString question =
        GetText(QStringLiteral("msgAskReset")).arg(NodeName(Session().SelectedMac));
    if (MsgBox(question, MsgIcon::Question, std::nullopt, MsgButtons::YesNo) == MsgAnswer::Yes) {
        cmdReset_Click();
    }
}

// Also run, without a question, after the changes that take effect when the
// node starts: a new address, new firmware.
void frmConfigAdv::cmdReset_Click() {
    const SessionState& s = Session();
    // Written before the operation starts, so that no box stands over a bar
    // left part-way.
    if (!WritePostRequest(QStringLiteral("HW_RESET_OK=Ok"))) {
        return;
    }
    BusyOperation operation(this, s.lblFctReset);
    SetProgress(1, kRestartSteps);
    RunClient(s.PostRequestFile);
    SetProgress(2, kRestartSteps);
    const bool accepted =
        ResponseStartsWith(QStringLiteral("0")) || ResponseStartsWith(QStringLiteral("3"));
    if (accepted) {
        WaitForRestart();
    }
    operation.finish();
    if (accepted) {
        MsgBox(s.errResetOk, MsgIcon::Information);
    } else {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errReseting);
    }
}

void frmConfigAdv::cmdFactoryReset_Click() {
    SessionState& s = Session();
    const QString password = AskFactoryPassword();
    const bool written = !password.isEmpty() && WriteFactoryResetRequests(password);
    std::optional<FactoryOutcome> outcome;
    {
        const BusyOperation operation(this, s.lblFctReset);
        if (written) {
            outcome = RunFactoryReset(s.SelectedMac == s.LocalMac);
        }
    }
    if (outcome) {
        ReportFactoryReset(*outcome);
        if (*outcome == FactoryOutcome::Fresh) {
            s.NodePassword = DefaultPassword();
        }
    }
    ShowAgainOrRediscover();
}

void FactoryResetConnect(QWidget* page) {
    const QString password = AskFactoryPassword();
    if (password.isEmpty() || !WriteFactoryResetRequests(password)) {
        return;
    }
    FactoryOutcome outcome{};
    {
        const BusyOperation operation(page, Session().lblFctReset);
        outcome = RunFactoryReset(true);
    }
    ReportFactoryReset(outcome);
}
