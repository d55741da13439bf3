#include "SetAll.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "discovery/frmConnect.h"
#include "lang/Catalogue.h"
#include "ui/Status.h"

namespace {

constexpr int kPasses = 3;
constexpr int kPostAttempts = 3;
// A node needs a moment after each request before it takes the next one.
constexpr int kStepWaitMs = 1000;
// Nodes that changed network or key need this long to find each other again.
constexpr int kSettleWaitMs = 12000;

// One action's progress: the bar counts the good checks against the number
// of nodes of the first pass.
struct SetAllProgress {
    qsizetype firstPassCount = 0;
    qsizetype verified = 0;
};

// Sends a node its settings, trying again at once when it does not take
// them; false when the action has to be abandoned.
bool ConfigureNode(const QString& mac, const SetAllSettings& settings) {
    SetStatusMessage(Session().lblConfiguring + NodeLabel(mac));
    for (int attempt = 0; attempt < kPostAttempts; ++attempt) {
        const PostOutcome outcome = PostSetAllSettings(mac, settings);
        if (outcome == PostOutcome::NotWritten) {
            return false;
        }
        Wait(kStepWaitMs);
        if (outcome == PostOutcome::Accepted) {
            break;
        }
    }
    return true;
}

// The password a node answers to once it took its settings: the new one, or
// the one every selected node accepted before the action when none is given.
QString CheckPassword(const SetAllSettings& settings) {
    return settings.newPassword.isEmpty() ? Session().LocalPassword : settings.newPassword;
}

// Checks every node of the pass with the new settings and returns the nodes
// that fail. The last node is the one the others are reached through, so it
// is only checked while every node before it passed; otherwise it counts as
// failed and is configured again with the others.
QStringList VerifyNodes(const QStringList& targets, const SetAllSettings& settings,
                        SetAllProgress& progress) {
    const QString checking = GetText(QStringLiteral("lblChecking"));
    QStringList failures;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const QString& mac = targets[i];
        SetStatusMessage(checking + NodeLabel(mac));
        const bool checked = i + 1 < targets.size() || failures.isEmpty();
        if (checked && CheckNodeAccess(mac, CheckPassword(settings), settings.networkId)) {
            ++progress.verified;
            SetProgress(static_cast<int>(progress.verified),
                        static_cast<int>(progress.firstPassCount));
        } else {
            failures.append(mac);
        }
        if (checked) {
            Wait(kStepWaitMs);
        }
    }
    return failures;
}

}  // namespace

QString FormatMacWithColons(const QString& mac) {
    QStringList pairs;
    for (int i = 0; i < 6; ++i) {
        pairs.append(mac.mid(i * 2, 2));
    }
    return pairs.join(QLatin1Char(':'));
}

QString NodeLabel(const QString& mac) {
    const QString alias = LookupAlias(mac);
    if (alias.isEmpty()) {
        return FormatMacWithColons(mac);
    }
    return QLatin1Char('\'') + alias + QLatin1Char('\'');
}

PostOutcome PostSetAllSettings(const QString& mac, const SetAllSettings& settings) {
    const SessionState& s = Session();
    QStringList lines{QStringLiteral("POST ") + mac, QStringLiteral(".PASSWORD=") + s.LocalPassword,
                      QStringLiteral("NET_ID_STR=") + settings.networkId,
                      QStringLiteral("ENCRYPT_KEY_STR=") + settings.key,
                      QStringLiteral("NOTCHES=") + settings.notches};
    if (!settings.newPassword.isEmpty()) {
        lines.append(QStringLiteral("NEWPASSWORD=") + settings.newPassword);
    }
    if (!WriteRequest(s.PostRequestFile, lines)) {
        return PostOutcome::NotWritten;
    }
    RunClient(s.PostRequestFile);
    return ResponseStartsWith(QStringLiteral("0")) ? PostOutcome::Accepted : PostOutcome::Failed;
}

std::optional<QStringList> ConfigureNodes(QStringList targets, const SetAllSettings& settings) {
    SetAllProgress progress{targets.size(), 0};
    QStringList failures = targets;
    for (int pass = 0; pass < kPasses && !failures.isEmpty(); ++pass) {
        for (const QString& mac : std::as_const(targets)) {
            if (!ConfigureNode(mac, settings)) {
                return std::nullopt;
            }
        }
        Wait(kSettleWaitMs);
        failures = VerifyNodes(targets, settings, progress);
        if (failures.isEmpty()) {
            break;
        }
        // The last node went unchecked: give it its settings once more, so
        // that it follows the nodes that did take them.
        if (PostSetAllSettings(targets.last(), settings) == PostOutcome::NotWritten) {
            return std::nullopt;
        }
        targets = failures;
    }
    // Every node now answers to the new password: the next discovery starts
    // with it instead of asking for it.
    if (failures.isEmpty() && !settings.newPassword.isEmpty()) {
        Session().LocalPassword = settings.newPassword;
    }
    return failures;
}
