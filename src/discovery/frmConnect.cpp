#include "frmConnect.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <optional>

#include "Discovery.h"
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
#include "ui/frmAskPw.h"
#include "ui_frmConnect.h"

frmConnect::frmConnect(QWidget* parent) : QWidget(parent), ui(new Ui::frmConnect) {
    ui->setupUi(this);
    // Node lines are padded into columns, which only line up in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui->txtMacDirect->setFont(fixed);
    ui->lstMac->setFont(fixed);
    ui->txtMacDirect->installEventFilter(this);
    ui->lstMac->installEventFilter(this);
    setBoxSelected(false);
    // The rules of a click follow the selection however it changes: mouse,
    // keyboard or an assistive technology. A change of the current entry and
    // of the selection may both come from one step; the rules give the same
    // result when run twice.
    connect(ui->lstMac, &QListWidget::itemSelectionChanged, this, &frmConnect::lstMac_Click);
    connect(ui->lstMac, &QListWidget::currentItemChanged, this, &frmConnect::lstMac_Click);
    connect(ui->cmdConfigMac, &QPushButton::clicked, this, &frmConnect::cmdConfigMac_Click);
    connect(ui->cmdQuickAdv, &QPushButton::clicked, this, &frmConnect::cmdQuickAdv_Click);
    connect(ui->cmdRefresh, &QPushButton::clicked, this, &frmConnect::cmdRefresh_Click);
    connect(ui->cmdFactoryReset, &QPushButton::clicked, this, &frmConnect::factoryResetRequested);
    connect(ui->cmdOverview, &QPushButton::clicked, this, &frmConnect::overviewRequested);
    connect(ui->cmdPrev, &QPushButton::clicked, this, &frmConnect::backRequested);
    connect(ui->cmdExit, &QPushButton::clicked, this, &frmConnect::exitRequested);
}

frmConnect::~frmConnect() = default;

void frmConnect::setBoxSelected(bool selected) {
    boxSelected_ = selected;
    QPalette palette = ui->txtMacDirect->palette();
    const QPalette system = QApplication::palette();
    palette.setColor(QPalette::Base,
                     selected ? system.color(QPalette::Highlight) : system.color(QPalette::Button));
    palette.setColor(QPalette::Text, selected ? system.color(QPalette::HighlightedText)
                                              : system.color(QPalette::ButtonText));
    ui->txtMacDirect->setPalette(palette);
}

bool frmConnect::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control) {
        Session().CtrlKeyDown = type == QEvent::KeyPress;
    }
    if (watched == ui->txtMacDirect && ui->txtMacDirect->isEnabled()) {
        // Space on the box chooses it as a click does.
        const bool space =
            type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        if (type == QEvent::MouseButtonPress || space) {
            txtMacDirect_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The fixed-pitch font is loaded when the page is first shown, not while the
// program starts.
void frmConnect::showEvent(QShowEvent* event) {
    if (!headingsAligned_) {
        AlignColumnHeadings();
        headingsAligned_ = true;
    }
    QWidget::showEvent(event);
}

QString frmConnect::localNodeLine() const {
    return ui->txtMacDirect->text();
}

void frmConnect::setLocalNodeLine(const QString& line) {
    ui->txtMacDirect->setText(line);
}

QStringList frmConnect::nodeLines() const {
    QStringList lines;
    for (int i = 0; i < ui->lstMac->count(); ++i) {
        lines.append(ui->lstMac->item(i)->text());
    }
    return lines;
}

void frmConnect::addNodeLine(const QString& line) {
    ui->lstMac->addItem(line);
}

QStringList frmConnect::selectedEntryMacs() const {
    QStringList macs;
    for (int i = 0; i < ui->lstMac->count(); ++i) {
        if (ui->lstMac->item(i)->isSelected()) {
            macs.append(LineMac(ui->lstMac->item(i)->text()));
        }
    }
    return macs;
}

void frmConnect::clearNodes() {
    const QSignalBlocker quiet(ui->lstMac);
    setBoxSelected(false);
    ui->txtMacDirect->clear();
    ui->lstMac->clear();
    ui->cmdConfigMac->setEnabled(false);
    ui->cmdQuickAdv->setEnabled(false);
    ui->cmdOverview->setEnabled(false);
    ui->cmdFactoryReset->hide();
}

void frmConnect::enableNodeControls() {
    ui->cmdRefresh->setEnabled(true);
    ui->cmdOverview->setEnabled(true);
    ui->lstMac->setEnabled(true);
    ui->txtMacDirect->setEnabled(true);
}

void frmConnect::enterLockedState(const QString& mac) {
    ui->txtMacDirect->setText(mac + QStringLiteral("   "));
    ui->cmdRefresh->setEnabled(false);
    ui->cmdOverview->setEnabled(false);
    ui->lstMac->setEnabled(false);
    ui->txtMacDirect->setEnabled(false);
    ui->cmdFactoryReset->show();
}

void frmConnect::disableNext() {
    ui->cmdConfigMac->setEnabled(false);
}

int frmConnect::UpdateNodeSelection() {
    const QSignalBlocker quiet(ui->lstMac);
    const QString& localNetwork = Session().LocalNetworkId;
    int count = boxSelected_ ? 1 : 0;
    for (int i = 0; i < ui->lstMac->count(); ++i) {
        QListWidgetItem* item = ui->lstMac->item(i);
        const QString network = LineNetworkId(item->text());
        if (!network.isEmpty() && network != localNetwork) {
            item->setSelected(false);
        }
        if (item->isSelected()) {
            ++count;
        }
    }
    ui->cmdConfigMac->setText(
        GetText(count < 2 ? QStringLiteral("cmdNext") : QStringLiteral("cmdSetAll")));
    if (count == 0) {
        ui->cmdConfigMac->setEnabled(false);
        ui->cmdQuickAdv->setEnabled(false);
        ui->cmdFactoryReset->hide();
    }
    return count;
}

void frmConnect::txtMacDirect_Click() {
    SessionState& s = Session();
    if (s.CtrlKeyDown) {
        ui->cmdFactoryReset->hide();
        ui->cmdQuickAdv->setEnabled(false);
        const int entries = static_cast<int>(ui->lstMac->selectedItems().size());
        if (boxSelected_) {
            setBoxSelected(false);
            if (entries == 1) {
                ui->cmdQuickAdv->setEnabled(true);
            }
        } else {
            if (entries == 0) {
                ui->cmdConfigMac->setEnabled(true);
                ui->cmdFactoryReset->show();
                ui->cmdQuickAdv->setEnabled(true);
            }
            setBoxSelected(true);
        }
    } else {
        {
            const QSignalBlocker quiet(ui->lstMac);
            ui->lstMac->clearSelection();
        }
        ui->cmdFactoryReset->show();
        ui->cmdQuickAdv->setEnabled(true);
        s.SelectedMac = s.LocalMac;
        ui->cmdConfigMac->setEnabled(true);
        setBoxSelected(true);
    }
    UpdateNodeSelection();
}

void frmConnect::AlignColumnHeadings() {
    // The list draws its text inside its frame and a small margin.
    const int indent =
        ui->lstMac->frameWidth() +
        ui->lstMac->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ui->lstMac) + 1;
    const QFontMetrics metrics(ui->lstMac->font());
    QHBoxLayout* headings = ui->horizontalLayout_1;
    headings->setContentsMargins(indent, 0, 0, 0);
    headings->setSpacing(0);
    const auto columns = [&metrics](int characters) {
        return metrics.horizontalAdvance(QString(characters, QLatin1Char(' ')));
    };
    ui->lblTitMac->setFixedWidth(columns(kMacField + 1));
    ui->lblTitId->setFixedWidth(columns(kNetworkIdField + 1));
    headings->setStretch(0, 0);
    headings->setStretch(1, 0);
    headings->setStretch(2, 1);
}

namespace {

// The entry the rules of a plain click take: the current one, or the one
// entry selected without becoming current, as an assistive technology does.
QListWidgetItem* RuleEntry(const QListWidget* list) {
    QListWidgetItem* current = list->currentItem();
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if ((!current || !current->isSelected()) && selected.size() == 1) {
        return selected.first();
    }
    return current;
}

}  // namespace

void frmConnect::lstMac_Click() {
    SessionState& s = Session();
    if (s.CtrlKeyDown) {
        ui->cmdFactoryReset->hide();
        ui->cmdQuickAdv->setEnabled(false);
        const int entries = static_cast<int>(ui->lstMac->selectedItems().size());
        if (entries == 0) {
            ui->cmdQuickAdv->setEnabled(true);
            ui->cmdFactoryReset->show();
        }
        if (!boxSelected_ && entries == 1) {
            ui->cmdConfigMac->setEnabled(true);
            ui->cmdFactoryReset->hide();
            ui->cmdQuickAdv->setEnabled(true);
        }
    } else if (QListWidgetItem* current = RuleEntry(ui->lstMac)) {
        setBoxSelected(false);
        ui->cmdFactoryReset->hide();
        s.SelectedMac = LineMac(current->text()).trimmed();
        s.SelectedNetworkId = LineNetworkId(current->text());
        const bool foreign =
            !s.SelectedNetworkId.isEmpty() && s.SelectedNetworkId != s.LocalNetworkId;
        ui->cmdConfigMac->setEnabled(!foreign);
        ui->cmdQuickAdv->setEnabled(!foreign);
    }
    UpdateNodeSelection();
}

void frmConnect::cmdConfigMac_Click() {
    if (UpdateNodeSelection() <= 1) {
        OpenNode(OpenMode::Basic);
    } else {
        ConfigureSeveralNodes();
    }
}

void frmConnect::cmdQuickAdv_Click() {
    OpenNode(OpenMode::Advanced);
}

void frmConnect::cmdRefresh_Click() {
    emit discoveryRequested();
    setBoxSelected(false);
}

namespace {

// One read of the chosen node and the passwords it tries in turn: the one
// known for the connected node, or the default one for any other, then the
// passwords the user types.
struct NodeRead {
    bool basic = true;
    bool local = false;
    bool first = true;    // the default password (a remote node's first try)
    bool prompt = false;  // typed passwords from now on
};

enum class ReadEnd { Answered, GiveUp, HandOver };

// The password of the next try; nothing when the user gave up at the prompt.
std::optional<QString> NextPassword(NodeRead& read) {
    const SessionState& s = Session();
    if (read.local && !read.prompt) {
        return s.LocalPassword;
    }
    if (!read.local && read.first) {
        return GetText(QStringLiteral("defaultpassword"));
    }
    if (read.prompt) {
        // The local node refusing its known password also ends up here, so
        // the user can type it or give up.
        const QString typed = frmAskPw::Ask(GetText(QStringLiteral("lblAskPw")) + QLatin1Char(' ') +
                                            NodeName(s.SelectedMac));
        return typed.isEmpty() ? std::nullopt : std::optional<QString>(typed);
    }
    // The basic page asks for a typed password right after this try; the
    // advanced button only once this one is refused too.
    read.prompt = read.basic;
    return s.LocalPassword;
}

// What a try that got no answer leads to; nothing when the next try follows.
std::optional<ReadEnd> AfterNoAnswer(NodeRead& read) {
    const SessionState& s = Session();
    const bool refused = ResponseStartsWith(QStringLiteral("2"));
    if (read.first) {
        if (!refused) {
            MsgBox(GetText(QStringLiteral("errNoKey")), MsgIcon::Exclamation);
            return ReadEnd::GiveUp;
        }
        read.first = false;
        return std::nullopt;
    }
    if (refused) {
        // On the basic page a refused typed password just brings the prompt
        // back. The local node refusing its known password is told so, and
        // then asked for the password, so the user can give up.
        if ((read.basic && read.local) || (!read.basic && read.prompt)) {
            MsgBox(s.errPwError, MsgIcon::Stop);
        }
        read.prompt = true;
        return std::nullopt;
    }
    if (read.local) {
        return ReadEnd::HandOver;
    }
    if (read.basic) {
        MsgBox(GetText(QStringLiteral("errNoKey")), MsgIcon::Exclamation);
    } else {
        MsgBox(s.errLoadConf, MsgIcon::Stop);
    }
    return ReadEnd::GiveUp;
}

// Reads the chosen node's basic settings, trying its passwords in turn.
ReadEnd ReadChosenNode(NodeRead& read) {
    SessionState& s = Session();
    for (;;) {
        const std::optional<QString> password = NextPassword(read);
        if (!password) {
            return ReadEnd::GiveUp;
        }
        s.NodePassword = *password;
        const std::optional<bool> answered = ReadSelectedNode(
            {QStringLiteral("VER"), QStringLiteral("NET_ID_STR"), QStringLiteral("ENCRYPT_KEY_STR"),
             QStringLiteral("NODE_TYPE"), QStringLiteral("NULL")});
        if (!answered) {
            return ReadEnd::GiveUp;
        }
        if (*answered) {
            if (read.local && read.prompt) {
                s.LocalPassword = s.NodePassword;
            }
            return ReadEnd::Answered;
        }
        if (const std::optional<ReadEnd> end = AfterNoAnswer(read)) {
            return *end;
        }
    }
}

}  // namespace

// Reads the chosen node and opens it on the basic configuration page or in
// the advanced window; the page stays until the next one is ready.
void frmConnect::OpenNode(OpenMode mode) {
    SessionState& s = Session();
    QListWidgetItem* current = RuleEntry(ui->lstMac);
    if (!boxSelected_ && !current) {
        return;
    }
    const QString line = boxSelected_ ? ui->txtMacDirect->text() : current->text();
    NodeRead read;
    read.basic = mode == OpenMode::Basic;
    setBoxSelected(false);
    if (read.basic) {
        ui->cmdFactoryReset->hide();
        const QSignalBlocker quiet(ui->lstMac);
        ui->lstMac->clearSelection();
        ui->cmdQuickAdv->setEnabled(false);
    } else {
        s.SelectedNetworkId = LineNetworkId(line);
    }
    s.SelectedMac = LineMac(line);
    while (s.SelectedMac.endsWith(QLatin1Char(' '))) {
        s.SelectedMac.chop(1);
    }
    read.local = s.SelectedMac == s.LocalMac;
    ReadEnd end = ReadEnd::GiveUp;
    {
        BusyOperation operation(this, s.lblConnect);
        SetProgress(1, 4);
        end = ReadChosenNode(read);
    }
    if (end == ReadEnd::HandOver) {
        s.DiscoveryFailed = true;
        emit loaderPageRequested();
    } else if (end == ReadEnd::Answered) {
        if (read.basic) {
            // The basic page fills itself from this response while the signal
            // is handled; keys the node did not send are told together.
            const MissingKeysReport report;
            emit basicConfigRequested();
        } else {
            emit advancedRequested();
        }
    }
}

void frmConnect::ConfigureSeveralNodes() {
    const SessionState& s = Session();
    std::optional<NotchSetting> notches;
    {
        BusyOperation operation(this, s.lblConnect);
        bool allGood = true;
        for (int i = 0; i < ui->lstMac->count(); ++i) {
            QListWidgetItem* item = ui->lstMac->item(i);
            if (item->isSelected() && !CheckNodeAccess(LineMac(item->text()), s.LocalPassword,
                                                       LineNetworkId(item->text()))) {
                allGood = false;
            }
        }
        if (!allGood || !boxSelected_) {
            MsgBox(GetText(allGood ? QStringLiteral("errSetAllLocal")
                                   : QStringLiteral("errNotSamePwd")),
                   MsgIcon::Exclamation);
            return;
        }
        notches = ReadLocalNotches();
    }
    if (notches) {
        emit setAllRequested(notches->options, notches->current);
    }
}

bool CheckNodeAccess(const QString& mac, const QString& password, const QString& expected) {
    const SessionState& s = Session();
    const QString used = password.isEmpty() ? s.NodePassword : password;
    if (!WriteRequest(s.GetRequestFile,
                      {QStringLiteral("GET ") + mac, QStringLiteral(".PASSWORD=") + used,
                       QStringLiteral("NET_ID_STR")})) {
        return false;
    }
    RunClient(s.GetRequestFile);
    // A check shows nothing: a node without the key simply fails it.
    return ResponseStartsWith(QStringLiteral("INFO")) &&
           ReadKeyValue(s.ResponseFile, u"NET_ID_STR") == expected;
}
