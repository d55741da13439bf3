#include "frmConnect.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QRadioButton>
#include <QStyle>

#include "Discovery.h"
#include "app/Application.h"
#include "app/Controls.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

frmConnect::frmConnect(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    // Node lines are padded into columns, which only line up in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui.txtMacDirect->setFont(fixed);
    ui.lstMac->setFont(fixed);
    ui.txtMacDirect->installEventFilter(this);
    ui.lstMac->installEventFilter(this);
    setBoxSelected(false);
    connect(ui.lstMac, &QListWidget::itemClicked, this, &frmConnect::lstMac_Click);
    connect(ui.cmdConfigMac, &QPushButton::clicked, this, &frmConnect::cmdConfigMac_Click);
    connect(ui.cmdQuickAdv, &QPushButton::clicked, this, &frmConnect::cmdQuickAdv_Click);
    connect(ui.cmdRefresh, &QPushButton::clicked, this, &frmConnect::cmdRefresh_Click);
    connect(ui.cmdFactoryReset, &QPushButton::clicked, this, &frmConnect::cmdFactoryReset_Click);
    connect(ui.cmdPrev, &QPushButton::clicked, this, &frmConnect::cmdPrev_Click);
    connect(ui.cmdExit, &QPushButton::clicked, this, &frmConnect::cmdExit_Click);
}

void frmConnect::setBoxSelected(bool selected) {
    boxSelected_ = selected;
    QPalette palette = ui.txtMacDirect->palette();
    const QPalette system = QApplication::palette();
    palette.setColor(QPalette::Base,
                     selected ? system.color(QPalette::Highlight) : system.color(QPalette::Button));
    palette.setColor(QPalette::Text, selected ? system.color(QPalette::HighlightedText)
                                              : system.color(QPalette::ButtonText));
    ui.txtMacDirect->setPalette(palette);
}

bool frmConnect::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control) {
        Session().CtrlKeyDown = type == QEvent::KeyPress;
    }
    if (watched == ui.txtMacDirect && type == QEvent::MouseButtonPress &&
        ui.txtMacDirect->isEnabled()) {
        txtMacDirect_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void frmConnect::closeEvent(QCloseEvent* event) {
    event->accept();
    ExitApplication();
}

// The fixed-pitch font is loaded when the page is first shown, not while the
// program starts.
void frmConnect::showEvent(QShowEvent* event) {
    if (!headingsAligned) {
        AlignColumnHeadings();
        headingsAligned = true;
    }
    QWidget::showEvent(event);
}

int frmConnect::selectedEntryCount() const {
    return static_cast<int>(ui.lstMac->selectedItems().size());
}

void frmConnect::unselectAllEntries() {
    ui.lstMac->clearSelection();
}

int frmConnect::UpdateNodeSelection() {
    const QString& localNetwork = Session().LocalNetworkId;
    int count = boxSelected_ ? 1 : 0;
    for (int i = 0; i < ui.lstMac->count(); ++i) {
        QListWidgetItem* item = ui.lstMac->item(i);
        const QString network = LineNetworkId(item->text());
        if (!network.isEmpty() && network != localNetwork) {
            item->setSelected(false);
        }
        if (item->isSelected()) {
            ++count;
        }
    }
    ui.cmdConfigMac->setText(
        GetText(count < 2 ? QStringLiteral("cmdNext") : QStringLiteral("cmdSetAll")));
    if (count == 0) {
        ui.cmdConfigMac->setEnabled(false);
        ui.cmdQuickAdv->setEnabled(false);
        ui.cmdFactoryReset->hide();
    }
    return count;
}

void frmConnect::txtMacDirect_Click() {
    SessionState& s = Session();
    if (s.CtrlKeyDown) {
        ui.cmdFactoryReset->hide();
        ui.cmdQuickAdv->setEnabled(false);
        const int entries = selectedEntryCount();
        if (boxSelected_) {
            setBoxSelected(false);
            if (entries == 1) {
                ui.cmdQuickAdv->setEnabled(true);
            }
        } else {
            if (entries == 0) {
                ui.cmdConfigMac->setEnabled(true);
                ui.cmdFactoryReset->show();
                ui.cmdQuickAdv->setEnabled(true);
            }
            setBoxSelected(true);
        }
    } else {
        unselectAllEntries();
        ui.cmdFactoryReset->show();
        ui.cmdQuickAdv->setEnabled(true);
        s.SelectedMac = s.LocalMac;
        ui.cmdConfigMac->setEnabled(true);
        setBoxSelected(true);
    }
    UpdateNodeSelection();
}

void frmConnect::AlignColumnHeadings() {
    // The list draws its text inside its frame and a small margin.
    const int indent =
        ui.lstMac->frameWidth() +
        ui.lstMac->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ui.lstMac) + 1;
    const QFontMetrics metrics(ui.lstMac->font());
    QHBoxLayout* headings = ui.horizontalLayout_1;
    headings->setContentsMargins(indent, 0, 0, 0);
    headings->setSpacing(0);
    const auto columns = [&metrics](int characters) {
        return metrics.horizontalAdvance(QString(characters, QLatin1Char(' ')));
    };
    ui.lblTitMac->setFixedWidth(columns(kMacField + 1));
    ui.lblTitId->setFixedWidth(columns(kNetworkIdField + 1));
    headings->setStretch(0, 0);
    headings->setStretch(1, 0);
    headings->setStretch(2, 1);
}

void frmConnect::lstMac_Click() {
    SessionState& s = Session();
    if (s.CtrlKeyDown) {
        ui.cmdFactoryReset->hide();
        ui.cmdQuickAdv->setEnabled(false);
        const int entries = selectedEntryCount();
        if (entries == 0) {
            ui.cmdQuickAdv->setEnabled(true);
            ui.cmdFactoryReset->show();
        }
        if (!boxSelected_ && entries == 1) {
            ui.cmdConfigMac->setEnabled(true);
            ui.cmdFactoryReset->hide();
            ui.cmdQuickAdv->setEnabled(true);
        }
    } else if (QListWidgetItem* current = ui.lstMac->currentItem()) {
        setBoxSelected(false);
        ui.cmdFactoryReset->hide();
        s.SelectedMac = LineMac(current->text()).trimmed();
        s.SelectedNetworkId = LineNetworkId(current->text());
        const bool foreign =
            !s.SelectedNetworkId.isEmpty() && s.SelectedNetworkId != s.LocalNetworkId;
        ui.cmdConfigMac->setEnabled(!foreign);
        ui.cmdQuickAdv->setEnabled(!foreign);
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
    DiscoverNodes();
    setBoxSelected(false);
}

void frmConnect::cmdFactoryReset_Click() {
    if (App().flow.FactoryResetConnect) {
        App().flow.FactoryResetConnect();
    }
    DiscoverNodes();
}

void frmConnect::cmdPrev_Click() {
    hide();
    App().windows.frmBegin->show();
}

void frmConnect::cmdExit_Click() {
    ExitApplication();
}

void frmConnect::EndOperation() {
    SetProgressFull();
    HideStatus();
    setEnabled(true);
}

namespace {

// Shows the node's basic settings on the configuration page.
void FillConfigPage() {
    QWidget* page = App().windows.frmConfig;
    SetCaption(Ctl(page, "lblVersion2"), ReadResponseValue(QStringLiteral("VER")));
    Ctl<QLineEdit>(page, "txtId")->setText(ReadResponseValue(QStringLiteral("NET_ID_STR")));
    Ctl<QLineEdit>(page, "txtKey")->setText(ReadResponseValue(QStringLiteral("ENCRYPT_KEY_STR")));
    Ctl<QLineEdit>(page, "txtAlias")->setText(LookupAlias(Session().SelectedMac));
    const QString type = ReadResponseValue(QStringLiteral("NODE_TYPE"));
    auto* ap = Ctl<QRadioButton>(page, "optAP");
    auto* ep = Ctl<QRadioButton>(page, "optEnd");
    // Radio buttons only clear together with their exclusivity lifted.
    ap->setAutoExclusive(false);
    ep->setAutoExclusive(false);
    ap->setChecked(type == QLatin1String("AP"));
    ep->setChecked(type == QLatin1String("EP"));
    ap->setAutoExclusive(true);
    ep->setAutoExclusive(true);
}

void ShowConfigPage() {
    QWidget* page = App().windows.frmConfig;
    auto* id = Ctl<QLineEdit>(page, "txtId");
    const bool hasId = !id->text().isEmpty();
    for (const char* name : {"txtKey", "optAP", "optEnd"}) {
        Ctl(page, name)->setEnabled(hasId);
    }
    Ctl<QLineEdit>(page, "txtPw1")->clear();
    Ctl<QLineEdit>(page, "txtPw2")->clear();
    page->show();
    id->setFocus();
}

QString PromptPassword(const QString& mac) {
    auto* prompt = static_cast<frmAskPw*>(App().windows.frmAskPw);
    prompt->ui.txtAskPw->clear();
    prompt->ui.lblAskPw->setText(GetText(QStringLiteral("lblAskPw")) + QLatin1Char(' ') + mac);
    TheDialogs().execModal(prompt);
    return prompt->ui.txtAskPw->text();
}

// Hands over to the loader page when the local node cannot be read at all.
void HandOverToLoaderPage(QWidget* page) {
    page->hide();
    Session().DiscoveryFailed = true;
    App().windows.frmAdvanced->show();
}

}  // namespace

// Reads the chosen node, trying its passwords in turn, and opens it on the
// basic configuration page or in the advanced window.
void frmConnect::OpenNode(OpenMode mode) {
    SessionState& s = Session();
    const bool basic = mode == OpenMode::Basic;
    QListWidgetItem* current = ui.lstMac->currentItem();
    if (!boxSelected_ && !current) {
        return;
    }
    const QString line = boxSelected_ ? ui.txtMacDirect->text() : current->text();
    if (basic) {
        ui.cmdFactoryReset->hide();
        setBoxSelected(false);
        unselectAllEntries();
        ui.cmdQuickAdv->setEnabled(false);
    } else {
        setBoxSelected(false);
        s.SelectedNetworkId = LineNetworkId(line);
    }
    s.SelectedMac = LineMac(line);
    while (s.SelectedMac.endsWith(QLatin1Char(' '))) {
        s.SelectedMac.chop(1);
    }
    setEnabled(false);
    ShowStatus(s.lblConnect, this);
    SetProgress(1, 4);

    const bool local = s.SelectedMac == s.LocalMac;
    bool first = true;    // the default password (a remote node's first try)
    bool prompt = false;  // typed passwords from now on
    for (;;) {
        if (local && !prompt) {
            s.NodePassword = s.LocalPassword;
        } else if (!local && first) {
            s.NodePassword = GetText(QStringLiteral("defaultpassword"));
        } else if (prompt) {
            // The local node refusing its known password also ends up here,
            // so the user can type it or give up.
            s.NodePassword = PromptPassword(s.SelectedMac);
            if (s.NodePassword.isEmpty()) {
                break;
            }
        } else {
            // The basic page asks for a typed password right after this try;
            // the advanced button only once this one is refused too.
            prompt = basic;
            s.NodePassword = s.LocalPassword;
        }
        if (!WriteGetRequest({QStringLiteral("VER"), QStringLiteral("NET_ID_STR"),
                              QStringLiteral("ENCRYPT_KEY_STR"), QStringLiteral("NODE_TYPE"),
                              QStringLiteral("NULL")},
                             s.SelectedMac, s.NodePassword)) {
            break;
        }
        SetProgress(2, 4);
        RunClient(s.GetRequestFile);
        SetProgress(3, 4);
        const bool answered = ResponseStartsWith(QStringLiteral("INFO"));
        SetProgress(4, 4);
        if (answered) {
            if (local && prompt) {
                s.LocalPassword = s.NodePassword;
            }
            EndOperation();
            hide();
            if (basic) {
                FillConfigPage();
                ShowConfigPage();
            } else if (App().flow.AdvancedFromEnd) {
                App().flow.AdvancedFromEnd();
            }
            return;
        }
        const bool refused = ResponseStartsWith(QStringLiteral("2"));
        if (first) {
            if (!refused) {
                MsgBox(GetText(QStringLiteral("errNoKey")), MsgIcon::Exclamation);
                break;
            }
            first = false;
        } else if (refused) {
            // On the basic page a refused typed password just brings the
            // prompt back. The local node refusing its known password is told
            // so, and then asked for the password, so the user can give up.
            if ((basic && local) || (!basic && prompt)) {
                MsgBox(s.errPwError, MsgIcon::Stop);
            }
            prompt = true;
        } else if (local) {
            EndOperation();
            HandOverToLoaderPage(this);
            return;
        } else {
            if (basic) {
                MsgBox(GetText(QStringLiteral("errNoKey")), MsgIcon::Exclamation);
            } else {
                MsgBox(s.errLoadConf, MsgIcon::Stop);
            }
            break;
        }
    }
    EndOperation();
    show();
}

void frmConnect::ConfigureSeveralNodes() {
    SessionState& s = Session();
    setEnabled(false);
    ShowStatus(s.lblConnect, this);
    bool allGood = true;
    for (int i = 0; i < ui.lstMac->count(); ++i) {
        QListWidgetItem* item = ui.lstMac->item(i);
        if (item->isSelected() &&
            !CheckNodeAccess(LineMac(item->text()), s.LocalPassword, LineNetworkId(item->text()))) {
            allGood = false;
        }
    }
    if (allGood && boxSelected_) {
        PrepareSetAllPage();
        return;
    }
    MsgBox(GetText(allGood ? QStringLiteral("errSetAllLocal") : QStringLiteral("errNotSamePwd")),
           MsgIcon::Exclamation);
    EndOperation();
    show();
}

bool CheckNodeAccess(const QString& mac, const QString& password, const QString& expected) {
    SessionState& s = Session();
    const QString used = password.isEmpty() ? s.NodePassword : password;
    if (!WriteRequest(s.GetRequestFile,
                      {QStringLiteral("GET ") + mac, QStringLiteral(".PASSWORD=") + used,
                       QStringLiteral("NET_ID_STR")})) {
        return false;
    }
    RunClient(s.GetRequestFile);
    return ResponseStartsWith(QStringLiteral("INFO")) &&
           ReadResponseValue(QStringLiteral("NET_ID_STR")) == expected;
}

void PrepareSetAllPage() {
    SessionState& s = Session();
    QWidget* connectPage = App().windows.frmConnect;
    const bool written = WriteGetRequest(
        {QStringLiteral("NOTCHES"), QStringLiteral("NET_ID_STR"), QStringLiteral("ENCRYPT_KEY_STR"),
         QStringLiteral("NOTCHES_OPTIONS"), QStringLiteral("NULL")},
        s.LocalMac, s.LocalPassword);
    SetProgress(1, 3);
    if (written) {
        RunClient(s.GetRequestFile);
    }
    SetProgress(2, 3);
    if (written && ResponseStartsWith(QStringLiteral("INFO"))) {
        QWidget* page = App().windows.frmSetAll;
        Ctl<QLineEdit>(page, "txtId")->clear();
        Ctl<QLineEdit>(page, "txtKey")->clear();
        Ctl<QLineEdit>(page, "txtPw1")->clear();
        Ctl<QLineEdit>(page, "txtPw1")->setEnabled(true);
        Ctl<QLineEdit>(page, "txtPw2")->clear();
        Ctl<QLineEdit>(page, "txtPw2")->setEnabled(false);
        Ctl(page, "cmdAutoConf")->setEnabled(true);
        auto* notches = Ctl<QComboBox>(page, "cboNotches");
        notches->clear();
        notches->addItems(SplitOptionList(ReadResponseValue(QStringLiteral("NOTCHES_OPTIONS"))));
        notches->setCurrentText(ReadResponseValue(QStringLiteral("NOTCHES")));
        notches->setCurrentIndex(notches->count() > 0 ? 0 : -1);
        SetProgressFull();
        HideStatus();
        connectPage->setEnabled(true);
        connectPage->hide();
        page->show();
        return;
    }
    if (written) {
        MsgBox(s.errLoadConf, MsgIcon::Stop);
    }
    SetProgressFull();
    HideStatus();
    connectPage->setEnabled(true);
    connectPage->show();
}
