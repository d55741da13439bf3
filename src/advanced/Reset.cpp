// Hardware reset and factory reset. A restarting node does not answer, so both
// wait a fixed time with the progress bar moving instead of polling it.
#include "Reset.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

namespace {

constexpr int kResetSteps = 12;
constexpr int kResetWaitMs = 1500;
constexpr int kFactorySteps = 14;
constexpr int kFactoryWaitMs = 3000;

QString DefaultPassword() {
    return GetText(QStringLiteral("defaultpassword"));
}

// The typed factory password; empty when the user cancelled.
QString AskFactoryPassword() {
    return frmAskPw::Ask(GetText(QStringLiteral("lblAskFactPw")));
}

enum class ResetStart { Accepted, Refused, NotWritten };

// Writes the reset and the later boot-count query, runs the reset and tells
// the user when the node refused it.
ResetStart StartFactoryReset(const QString& password) {
    const SessionState& s = Session();
    if (!WriteFactoryResetRequest(password) ||
        !WriteGetRequest({QStringLiteral("NUM_BOOTS"), QStringLiteral("NULL")}, s.SelectedMac,
                         DefaultPassword())) {
        return ResetStart::NotWritten;
    }
    SetProgress(1, kFactorySteps);
    SetProgress(2, kFactorySteps);
    RunClient(s.PostRequestFile);
    if (ResponseStartsWith(QStringLiteral("0"))) {
        return ResetStart::Accepted;
    }
    MsgBox(ResponseStartsWith(QStringLiteral("2")) ? s.errPwError : s.errFactResetKoOrPw,
           MsgIcon::Exclamation);
    return ResetStart::Refused;
}

void WaitForFactoryRestart() {
    SetProgress(3, kFactorySteps);
    for (int k = 4; k <= kFactorySteps; ++k) {
        Wait(kFactoryWaitMs);
        SetProgress(k, kFactorySteps);
    }
    DeleteResponse();
}

struct BootCheck {
    bool answered = true;
    qint16 boots = 1;
};

// A count that is no whole number in range reads as 0: not a fresh start.
qint16 BootCount(const QString& text) {
    bool ok = false;
    const qint16 count = text.trimmed().toShort(&ok);
    return ok ? count : qint16{0};
}

BootCheck QueryBootCount() {
    RunClient(Session().GetRequestFile);
    BootCheck check;
    check.answered = ResponseStartsWith(QStringLiteral("INFO"));
    check.boots = BootCount(ReadResponseValue(QStringLiteral("NUM_BOOTS")));
    return check;
}

// Tells the user the outcome; true when the node started afresh.
bool ReportFactoryReset(const BootCheck& check) {
    const SessionState& s = Session();
    if (!check.answered) {
        MsgBox(s.errFactResetKoOrPw, MsgIcon::Exclamation);
        return false;
    }
    if (check.boots == 1) {
        MsgBox(s.errFactResetOk, MsgIcon::Exclamation);
        return true;
    }
    MsgBox(s.errFactResetKo, MsgIcon::Exclamation);
    return false;
}

}  // namespace

bool WriteFactoryResetRequest(const QString& password) {
    const SessionState& s = Session();
    return WriteRequest(s.PostRequestFile, {QStringLiteral("POST ") + s.SelectedMac,
                                            QStringLiteral(".FACTORY_PASSWORD=") + password});
}

void frmConfigAdv::cmdReset_Click() {
    const SessionState& s = Session();
    const BusyOperation operation(this, s.lblFctReset);
    if (!WritePostRequest(QStringLiteral("HW_RESET_OK=Ok"))) {
        return;
    }
    SetProgress(1, kResetSteps);
    RunClient(s.PostRequestFile);
    SetProgress(2, kResetSteps);
    if (ResponseStartsWith(QStringLiteral("0")) || ResponseStartsWith(QStringLiteral("3"))) {
        Wait(kResetWaitMs);
        for (int k = 3; k < kResetSteps; ++k) {
            SetProgress(k, kResetSteps);
            Wait(kResetWaitMs);
        }
        MsgBox(s.errResetOk, MsgIcon::Exclamation);
    } else {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errReseting);
    }
}

void frmConfigAdv::cmdFactoryReset_Click() {
    SessionState& s = Session();
    const QString password = AskFactoryPassword();
    {
        const BusyOperation operation(this, s.lblFctReset);
        if (!password.isEmpty() && StartFactoryReset(password) == ResetStart::Accepted) {
            WaitForFactoryRestart();
            // Only the node on the wire can be asked: a remote one that started
            // afresh no longer shares the network that would carry the question.
            const BootCheck check = s.SelectedMac == s.LocalMac ? QueryBootCount() : BootCheck{};
            if (ReportFactoryReset(check)) {
                s.NodePassword = DefaultPassword();
            }
        }
    }
    ShowAgainOrRediscover();
}

void FactoryResetConnect(QWidget* page) {
    const QString password = AskFactoryPassword();
    if (password.isEmpty()) {
        return;
    }
    BootCheck check;
    {
        const BusyOperation operation(page, Session().lblFctReset);
        const ResetStart start = StartFactoryReset(password);
        if (start != ResetStart::Accepted) {
            return;
        }
        WaitForFactoryRestart();
        check = QueryBootCount();
    }
    ReportFactoryReset(check);
}
