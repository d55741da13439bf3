// Hardware reset and factory reset. A restarting node does not answer, so both
// wait a fixed time with the progress bar moving instead of polling it.
#include "Reset.h"

#include <optional>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "node/NodeAccess.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

namespace {

QString DefaultPassword() {
    return GetText(QStringLiteral("defaultpassword"));
}

// The typed factory password of the selected node; empty when the user
// cancelled.
QString AskFactoryPassword() {
    return frmAskPw::Ask(GetText(QStringLiteral("lblAskFactPw")) + QLatin1Char(' ') +
                         NodeName(Session().SelectedMac));
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
    if (!WriteHardwareResetRequest()) {
        return;
    }
    BusyOperation operation(this, s.lblFctReset);
    const bool accepted = RunHardwareReset();
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
