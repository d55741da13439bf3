#include "frmConfigAdv.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <initializer_list>
#include <optional>
#include <utility>

#include "Loading.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "node/NodeAccess.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/WindowFlags.h"
#include "ui_frmConfigAdv.h"

namespace {

// Element `index` of a control array whose first element is numbered `first`.
template <typename T>
T* Element(std::initializer_list<T*> controls, int first, int index) {
    const int position = index - first;
    if (position < 0 || position >= static_cast<int>(controls.size())) {
        return nullptr;
    }
    return controls.begin()[position];
}

// Reads every parameter of the selected node with the window disabled; false,
// after telling the user (under the title, when one is given), when the node
// did not answer.
bool ReadAllParameters(QWidget* caller, const std::optional<QString>& title) {
    const SessionState& s = Session();
    {
        const BusyOperation operation(caller, s.lblConnect);
        const bool written = WriteGetAllRequest();
        SetProgress(1, 2);
        if (!written) {
            return false;
        }
        RunClient(s.GetRequestFile);
    }
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, title);
        return false;
    }
    return true;
}

}  // namespace

frmConfigAdv::frmConfigAdv(QWidget* parent)
    : QWidget(parent, kWindowWithoutMaximise), ui(new Ui::frmConfigAdv) {
    ui->setupUi(this);
    // A form file cannot hold the tabs of a bare tab strip; these are the
    // ones the window starts with. The optional tabs follow from the catalogue.
    ui->tabConfig->addTab(QStringLiteral("General"));
    ui->tabCriterion->addTab(QStringLiteral("Criterion 0"));
    ui->tabCriterion->addTab(QStringLiteral("Criterion 1"));
    ConnectFrame();
    ConnectNetworkPanels();
    ConnectSecurityPanel();
    ConnectVlanPanel();
    ConnectQosPanels();
    ConnectFirmwareFrames();
    Form_Load();
}

frmConfigAdv::~frmConfigAdv() = default;

void frmConfigAdv::ConnectFrame() {
    connect(ui->tabConfig, &QTabBar::currentChanged, this, &frmConfigAdv::tabConfig_Click);
    connect(ui->tabCriterion, &QTabBar::currentChanged, this, &frmConfigAdv::tabCriterion_Click);
    connect(ui->cmdRefresh, &QPushButton::clicked, this, &frmConfigAdv::cmdRefresh_Click);
    connect(ui->cmdExit, &QPushButton::clicked, this, &frmConfigAdv::cmdExit_Click);
    connect(ui->cmdReset, &QPushButton::clicked, this, &frmConfigAdv::ConfirmHardwareReset);
    connect(ui->cmdFactoryReset, &QPushButton::clicked, this, &frmConfigAdv::cmdFactoryReset_Click);
    connect(ui->cmdTcpWindow, &QPushButton::clicked, this, &frmConfigAdv::cmdTcpWindow_Click);
    connect(ui->cmdSaveSettings, &QPushButton::clicked, this, &frmConfigAdv::cmdSaveSettings_Click);
    connect(ui->cmdRestoreSettings, &QPushButton::clicked, this,
            &frmConfigAdv::cmdRestoreSettings_Click);
    connect(ui->cmdCompare, &QPushButton::clicked, this, &frmConfigAdv::cmdCompare_Click);
    // Whoever fills the raw list, its lines are masked as they arrive.
    connect(ui->lstConfig->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { HideSecrets(first, last); });
}

QWidget* frmConfigAdv::picFrame(int i) const {
    return Element<QWidget>(
        {ui->picFrame_1, ui->picFrame_2, ui->picFrame_3, ui->picFrame_4, ui->picFrame_5,
         ui->picFrame_6, ui->picFrame_7, ui->picFrame_8, ui->picFrame_9, ui->picFrame_10},
        1, i);
}

QWidget* frmConfigAdv::picCriterion(int i) const {
    return Element<QWidget>({ui->picCriterion_1, ui->picCriterion_2}, 1, i);
}

QLabel* frmConfigAdv::lblSecurity(int i) const {
    return Element<QLabel>({ui->lblSecurity_0, ui->lblSecurity_1, ui->lblSecurity_2,
                            ui->lblSecurity_3, ui->lblSecurity_4, ui->lblSecurity_5,
                            ui->lblSecurity_6, ui->lblSecurity_7, ui->lblSecurity_8},
                           0, i);
}

QLineEdit* frmConfigAdv::txtQoSMap(int k) const {
    return Element<QLineEdit>({ui->txtQoSMap0, ui->txtQoSMap1, ui->txtQoSMap2, ui->txtQoSMap3,
                               ui->txtQoSMap4, ui->txtQoSMap5, ui->txtQoSMap6, ui->txtQoSMap7},
                              0, k);
}

QLabel* frmConfigAdv::lblQoSPrec(int k) const {
    return Element<QLabel>({ui->lblQoSPrec0, ui->lblQoSPrec1, ui->lblQoSPrec2, ui->lblQoSPrec3,
                            ui->lblQoSPrec4, ui->lblQoSPrec5, ui->lblQoSPrec6, ui->lblQoSPrec7},
                           0, k);
}

void frmConfigAdv::OnLostFocus(QWidget* control, const std::function<void()>& handler) {
    lostFocus_.insert(control, handler);
    control->installEventFilter(this);
}

bool frmConfigAdv::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Focus leaving with the whole window (another program, a message
        // box, a drop-down list) comes back to the same control: not a leave.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto handler = lostFocus_.constFind(watched);
        if (handler != lostFocus_.cend() && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            (*handler)();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmConfigAdv::setInterfaces(const QStringList& interfaces) {
    ui->cboInterface->clear();
    ui->cboInterface->addItems(interfaces);
    // The list starts on the interface the local node was found on: the one
    // named eth<N>, or else the N-th line of the discovery.
    const QString found = QStringLiteral("eth") + QString::number(Session().InterfaceNumber);
    int position = Session().InterfaceNumber;
    for (int i = 0; i < interfaces.size(); ++i) {
        if (interfaces[i].section(QLatin1Char(' '), 0, 0) == found) {
            position = i;
            break;
        }
    }
    if (position >= 0 && position < interfaces.size()) {
        ui->cboInterface->setCurrentIndex(position);
    }
}

bool frmConfigAdv::readNode(QWidget* caller) {
    if (!ReadAllParameters(caller, std::nullopt)) {
        return false;
    }
    ListResponseLines();
    LoadDeviceParameters();
    ShowNodeInTitle();
    FillCompareList();
    return true;
}

bool frmConfigAdv::ReloadNode(QWidget* caller) {
    if (!ReadAllParameters(caller, Session().errReceiving)) {
        return false;
    }
    ListResponseLines();
    LoadDeviceParameters();
    return true;
}

void frmConfigAdv::setNodes(const QList<FoundNode>& nodes) {
    nodes_ = nodes;
}

void frmConfigAdv::ShowNodeInTitle() {
    setWindowTitle(GetText(QStringLiteral("frmConfigAdv")) + QStringLiteral(" - ") +
                   NodeName(Session().SelectedMac));
}

void frmConfigAdv::RereadParameterList() {
    if (ReadAllParameters(this, Session().errReceiving)) {
        ListResponseLines();
    }
}

void frmConfigAdv::HideSecrets(int first, int last) {
    for (int row = first; row <= last; ++row) {
        QListWidgetItem* line = ui->lstConfig->item(row);
        const QString text = line->text();
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals > 0 && equals + 1 < text.size() &&
            IsSecretKey(QStringView(text).first(equals))) {
            line->setText(text.first(equals + 1) + QStringLiteral("********"));
        }
    }
}

bool frmConfigAdv::SendSettings(const QStringList& settings, bool leavesNetwork) {
    const SessionState& s = Session();
    PostResult post;
    {
        const BusyOperation operation(this, s.lblSave);
        post = PostToSelected(settings, leavesNetwork);
        if (post.answer == NodeAnswer::NotWritten) {
            return false;
        }
    }
    if (post.answer != NodeAnswer::Answered) {
        MsgBox(post.firstLine, MsgIcon::Exclamation, s.errSaving);
        return false;
    }
    return true;
}

void frmConfigAdv::ShowAgainOrRediscover(bool reread) {
    const SessionState& s = Session();
    if (s.SelectedMac == s.LocalMac) {
        if (reread) {
            RereadParameterList();
        }
        return;
    }
    hide();
    emit discoveryRequested();
}

void frmConfigAdv::Form_Load() {
    ui->stkPanels->setCurrentWidget(picFrame(1));
    ui->stkCriterion->setCurrentWidget(picCriterion(1));
}

void frmConfigAdv::tabConfig_Click() {
    const int position = ui->tabConfig->currentIndex() + 1;
    const AdvancedTabs& t = App().tabs;
    // Absent tabs hold 0 and never match a position.
    const std::pair<int, int> panels[] = {
        {t.GeneralTab, 1},  {t.NetworkTab, 2}, {t.MacTab, 3},  {t.PhyTab, 4}, {t.MulticastTab, 5},
        {t.SecurityTab, 6}, {t.QoSAdvTab, 9},  {t.VlanTab, 8}, {t.QoSTab, 10}};
    for (const auto& [tab, panel] : panels) {
        if (tab == position) {
            ui->stkPanels->setCurrentWidget(picFrame(panel));
        }
    }
}

void frmConfigAdv::tabCriterion_Click() {
    if (QWidget* panel = picCriterion(ui->tabCriterion->currentIndex() + 1)) {
        ui->stkCriterion->setCurrentWidget(panel);
    }
}

void frmConfigAdv::cmdExit_Click() {
    hide();
    emit closed();
}

void frmConfigAdv::closeEvent(QCloseEvent* event) {
    // The program's own end closes every window; nothing to return to then.
    if (App().exiting) {
        event->accept();
        return;
    }
    // One operation at a time: the window stays while its operation runs.
    if (BusyOperation::running()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}
