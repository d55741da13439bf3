#include "Discovery.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QSet>

#include "Alias.h"
#include "app/Application.h"
#include "app/Controls.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConnect.h"
#include "lang/Catalogue.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

QString PadField(const QString& text, int width) {
    if (text.size() >= width) {
        return text.left(width);
    }
    return text + QString(width - text.size(), QLatin1Char(' '));
}

QString NodeLine(const QString& mac, const QString& networkId, const QString& alias) {
    return PadField(mac, kMacField) + QLatin1Char(' ') + PadField(networkId, kNetworkIdField) +
           QLatin1Char(' ') + PadField(alias, 10);
}

QString LineMac(const QString& line) {
    return line.left(kMacField);
}

QString LineNetworkId(const QString& line) {
    return line.mid(kMacField, kNetworkIdField).trimmed();
}

namespace {

const QString kForeignNetwork = QStringLiteral("Network #1");

frmConnect* Page() {
    return static_cast<frmConnect*>(App().windows.frmConnect);
}

void FillInterfaceList(QWidget* window, const QStringList& interfaces) {
    auto* combo = Ctl<QComboBox>(window, "cboInterface");
    combo->clear();
    combo->addItems(interfaces);
}

void TakeLocalNode(const DiscoveryFile& discovery) {
    SessionState& s = Session();
    s.LocalMac = discovery.localMac;
    s.SelectedMac = s.LocalMac;
    s.InterfaceNumber = discovery.interfaceNumber;
    FillInterfaceList(App().windows.frmConfigAdv, discovery.interfaces);
}

// The state of the walk over the node list.
struct Walk {
    int cursor = 0;
    int stage = 1;
};

enum class Outcome { Answered, Stopped, LocalRefused, Locked };

// The MACs the page lists, so that each node of a connection list is checked
// in constant time: a walk over a large network stays linear.
QSet<QString> ListedMacs(const frmConnect* page) {
    QSet<QString> macs{LineMac(page->ui.txtMacDirect->text())};
    for (int i = 0; i < page->ui.lstMac->count(); ++i) {
        macs.insert(LineMac(page->ui.lstMac->item(i)->text()));
    }
    return macs;
}

// Adds the nodes that the answering node sees. The local node's own list is
// taken as it stands; later nodes add only MACs not listed yet.
void AddConnections(frmConnect* page, bool localNode) {
    SessionState& s = Session();
    if (localNode) {
        s.LocalNetworkId = ReadResponseValue(QStringLiteral("NET_ID_STR"));
        page->ui.txtMacDirect->setText(
            NodeLine(s.SelectedMac, s.LocalNetworkId, LookupAlias(s.SelectedMac)));
    }
    const QStringList macs =
        SplitOptionList(ReadResponseValue(QStringLiteral("PLC_CONNECTION_MAC_ADDR")));
    const QStringList networks =
        SplitOptionList(ReadResponseValue(QStringLiteral("PLC_CONNECTION_NET_ID_STR")));
    QSet<QString> listed = localNode ? QSet<QString>() : ListedMacs(page);
    for (qsizetype i = 0; i < macs.size(); ++i) {
        if (!localNode && listed.contains(LineMac(macs[i]))) {
            continue;
        }
        listed.insert(LineMac(macs[i]));
        page->ui.lstMac->addItem(NodeLine(macs[i], networks.value(i), LookupAlias(macs[i])));
    }
}

// The prompt for a node's password; the empty text when the user cancelled.
QString PromptPassword(const QString& mac) {
    auto* prompt = static_cast<frmAskPw*>(App().windows.frmAskPw);
    prompt->ui.txtAskPw->clear();
    prompt->ui.lblAskPw->setText(GetText(QStringLiteral("lblAskPw")) + QLatin1Char(' ') + mac);
    TheDialogs().execModal(prompt);
    return prompt->ui.txtAskPw->text();
}

void EnterLockedState(frmConnect* page) {
    const SessionState& s = Session();
    page->hide();
    page->ui.txtMacDirect->setText(s.SelectedMac + QStringLiteral("   "));
    page->ui.cmdRefresh->setEnabled(false);
    page->ui.lstMac->setEnabled(false);
    page->ui.txtMacDirect->setEnabled(false);
    page->ui.cmdFactoryReset->show();
    SetProgressFull();
    HideStatus();
    page->setEnabled(true);
    page->show();
}

// The password of this attempt; false when the local node was left without
// one (the locked state).
bool ChoosePassword(int stage) {
    SessionState& s = Session();
    const bool local = s.SelectedMac == s.LocalMac;
    if (stage == 1) {
        if (s.LocalPassword.isEmpty()) {
            s.LocalPassword = GetText(QStringLiteral("defaultpassword"));
        }
        s.NodePassword = s.LocalPassword;
    } else if (stage == 2) {
        if (local) {
            s.LocalPassword = GetText(QStringLiteral("defaultpassword"));
            s.NodePassword = s.LocalPassword;
        } else {
            s.NodePassword = GetText(QStringLiteral("defaultpassword"));
        }
    } else {
        s.NodePassword = PromptPassword(s.SelectedMac);
        if (local && !s.NodePassword.isEmpty()) {
            s.LocalPassword = s.NodePassword;
        }
        if (local && s.NodePassword.isEmpty()) {
            return false;
        }
    }
    return true;
}

// Asks the selected node for its connections, trying the passwords stage by
// stage, until it answers, is skipped, or the walk has to stop.
Outcome AskNode(frmConnect* page, Walk& walk) {
    SessionState& s = Session();
    for (;;) {
        page->setEnabled(false);
        ShowStatus(s.lblConnect + QLatin1Char(' ') + s.SelectedMac, page);
        if (!ChoosePassword(walk.stage)) {
            EnterLockedState(page);
            return Outcome::Locked;
        }
        SetProgress(1, 4);
        if (s.NodePassword.isEmpty()) {
            HideStatus();
            page->setEnabled(true);
            return Outcome::Answered;
        }
        if (!WriteGetRequest(
                {QStringLiteral("NET_ID_STR"), QStringLiteral("PLC_CONNECTION_MAC_ADDR"),
                 QStringLiteral("PLC_CONNECTION_NET_ID_STR"), QStringLiteral("NULL")},
                s.SelectedMac, s.NodePassword)) {
            HideStatus();
            page->setEnabled(true);
            return Outcome::Stopped;
        }
        SetProgress(2, 4);
        RunClient(s.GetRequestFile);
        SetProgress(3, 4);
        const bool answered = ResponseStartsWith(QStringLiteral("INFO"));
        SetProgress(4, 4);
        HideStatus();
        page->setEnabled(true);
        if (answered) {
            AddConnections(page, walk.cursor == 0);
            page->show();
            return Outcome::Answered;
        }
        const bool refused = ResponseStartsWith(QStringLiteral("2"));
        if (walk.stage < 3) {
            if (!refused) {
                return Outcome::Stopped;
            }
            ++walk.stage;
        } else if (refused) {
            MsgBox(s.errPwError, MsgIcon::Stop);
        } else {
            if (s.SelectedMac != s.LocalMac) {
                return Outcome::Stopped;
            }
            MsgBox(GetText(QStringLiteral("errNoLocal")), MsgIcon::Exclamation);
            page->hide();
            App().windows.frmBegin->show();
            return Outcome::LocalRefused;
        }
    }
}

// Moves the cursor to the next node to ask; false at the end of the list.
bool NextNode(frmConnect* page, Walk& walk) {
    walk.stage = 1;
    while (walk.cursor < page->ui.lstMac->count()) {
        const QString line = page->ui.lstMac->item(walk.cursor)->text();
        Session().SelectedMac = LineMac(line);
        ++walk.cursor;
        if (LineNetworkId(line) != kForeignNetwork) {
            return true;
        }
    }
    return false;
}

// Walks the list from the local node; false when the walk left the node page
// to another page of its own.
bool WalkNetwork(frmConnect* page) {
    Walk walk;
    for (;;) {
        const Outcome outcome = AskNode(page, walk);
        if (outcome == Outcome::Locked || outcome == Outcome::LocalRefused) {
            return false;
        }
        if (outcome == Outcome::Stopped || !NextNode(page, walk)) {
            HideStatus();
            page->setEnabled(true);
            return true;
        }
        SetProgress(0, 1);
    }
}

void ClearPage(frmConnect* page) {
    page->setBoxSelected(false);
    page->ui.txtMacDirect->clear();
    page->ui.lstMac->clear();
    page->ui.cmdConfigMac->setEnabled(false);
    page->ui.cmdQuickAdv->setEnabled(false);
    page->ui.cmdFactoryReset->hide();
    page->show();
    page->setEnabled(false);
}

}  // namespace

DiscoveryFile ParseDiscoveryFile(const QStringList& lines) {
    DiscoveryFile discovery;
    if (lines.value(0) == QLatin1String("E")) {
        discovery.interfaces = lines.mid(1);
        return discovery;
    }
    discovery.found = !lines.isEmpty();
    discovery.localMac = lines.value(0);
    discovery.interfaceNumber =
        static_cast<qint16>(std::clamp(ValInt(lines.value(1)), -32768, 32767));
    // The third line carries nothing the program uses.
    discovery.interfaces = lines.mid(3);
    return discovery;
}

bool CheckDiscoveryResult() {
    const QString& file = Session().MacDiscoverFile;
    if (!FileExists(file)) {
        return false;
    }
    const DiscoveryFile discovery = ParseDiscoveryFile(ReadLines(file).value_or(QStringList()));
    FillInterfaceList(App().windows.frmAdvanced,
                      discovery.found ? QStringList() : discovery.interfaces);
    return discovery.found;
}

void DiscoverNodes() {
    SessionState& s = Session();
    frmConnect* page = Page();
    s.DiscoveryFailed = false;
    ClearPage(page);
    ShowStatus(s.lblDiscoverMac, page);
    if (FileExists(s.GetRequestFile)) {
        QFile::remove(s.GetRequestFile);
    }
    SetProgress(1, 3);
    RunAndWait(QStringLiteral("MacDiscover.exe"));
    SetProgress(2, 3);
    const bool found = CheckDiscoveryResult();
    if (found) {
        TakeLocalNode(ParseDiscoveryFile(ReadLines(s.MacDiscoverFile).value_or(QStringList())));
    } else {
        MsgBox(s.errNoModems, MsgIcon::Stop);
        s.DiscoveryFailed = true;
    }
    SetProgressFull();
    HideStatus();
    page->setEnabled(true);
    if (!found) {
        page->hide();
        App().windows.frmAdvanced->show();
    }
    page->ui.cmdRefresh->setEnabled(true);
    page->ui.lstMac->setEnabled(true);
    page->ui.txtMacDirect->setEnabled(true);
    if (found && !WalkNetwork(page)) {
        return;
    }
    page->show();
}
