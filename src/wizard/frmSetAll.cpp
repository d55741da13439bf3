#include "frmSetAll.h"

#include <QApplication>
#include <QFocusEvent>

#include "SetAll.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Response.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Guide.h"
#include "ui_frmSetAll.h"

namespace {

// The nodes selected on the node page: the list entries in list order, then
// the connected node. The connected node is configured last because the
// others are reached through it, and it is never left out.
struct Selection {
    QStringList targets;
    QStringList leftOut;
};

Selection ChooseTargets(const QStringList& entryMacs, const QString& connectedMac) {
    const int room = kMaxSetAllTargets - (connectedMac.isEmpty() ? 0 : 1);
    Selection selection;
    for (const QString& mac : entryMacs) {
        if (selection.targets.size() < room) {
            selection.targets.append(mac);
        } else {
            selection.leftOut.append(mac);
        }
    }
    if (!connectedMac.isEmpty()) {
        selection.targets.append(connectedMac);
    }
    return selection;
}

void ReportLeftOut(const QStringList& leftOut) {
    QStringList labels;
    for (const QString& mac : leftOut) {
        labels.append(NodeLabel(mac));
    }
    MsgBox(GetTextOr(QStringLiteral("errSetAllLeftOut"),
                     QStringLiteral("Only 26 nodes can be configured at once. These selected nodes "
                                    "were left out and keep their settings: ")) +
               labels.join(QStringLiteral(", ")),
           MsgIcon::Exclamation);
}

// One box per node that still fails, but for the last one, which is the
// connected node: it is given the settings once more instead, so that it
// follows the nodes that took them.
void ReportOutcome(QWidget* page, const QStringList& failures, const SetAllSettings& settings) {
    const SessionState& s = Session();
    if (failures.isEmpty()) {
        MsgBox(s.errSetAllOK, MsgIcon::Information);
        return;
    }
    for (qsizetype i = 0; i + 1 < failures.size(); ++i) {
        MsgBox(s.errConfiguring + NodeLabel(failures[i]), MsgIcon::Stop, s.errSaving);
    }
    const BusyOperation operation(page, QString());
    PostSetAllSettings(failures.last(), settings);
}

}  // namespace

frmSetAll::frmSetAll(QWidget* parent) : QWidget(parent), ui(new Ui::frmSetAll) {
    ui->setupUi(this);
    ui->txtPw2->installEventFilter(this);
    connect(ui->cmdAutoConf, &QPushButton::clicked, this, &frmSetAll::cmdAutoConf_Click);
    connect(ui->cmdPrev, &QPushButton::clicked, this, &frmSetAll::discoveryRequested);
    connect(ui->cmdExit, &QPushButton::clicked, this, &frmSetAll::exitRequested);
    connect(ui->cmdHelp, &QPushButton::clicked, this, [] { OpenGuide(QStringLiteral("set-all")); });
    connect(ui->txtId, &QLineEdit::textChanged, this, &frmSetAll::txtId_Change);
    connect(ui->txtPw1, &QLineEdit::textChanged, this, &frmSetAll::txtPw1_Change);
    // The key belongs to an identifier: none can be typed before one is.
    txtId_Change(ui->txtId->text());
    txtPw1_Change(ui->txtPw1->text());
}

frmSetAll::~frmSetAll() = default;

void frmSetAll::prepare(const QStringList& entryMacs, const QString& connectedMac,
                        const QStringList& notchOptions, const QString& notch) {
    Selection selection = ChooseTargets(entryMacs, connectedMac);
    targets_ = std::move(selection.targets);
    leftOut_ = std::move(selection.leftOut);
    const QString heading = GetText(QStringLiteral("lblSetAllNodes"));
    ui->lblSetAllNodes->setText(heading);
    ui->lstSetAllNodes->setAccessibleName(heading);
    ui->lstSetAllNodes->clear();
    for (const QString& mac : std::as_const(targets_)) {
        ui->lstSetAllNodes->addItem(NodeName(mac));
    }
    ui->txtId->clear();
    ui->txtKey->clear();
    ui->txtPw1->clear();
    ui->txtPw1->setEnabled(true);
    ui->txtPw2->clear();
    ui->txtPw2->setEnabled(false);
    ui->cmdAutoConf->setEnabled(true);
    ui->cboNotches->clear();
    ui->cboNotches->addItems(notchOptions);
    // The connected node's own setting, so that a run that leaves the list
    // alone leaves the nodes' notches alone too; the first choice when the
    // node reports a setting it does not offer.
    ui->cboNotches->setCurrentIndex(
        qMax(ui->cboNotches->findText(notch), ui->cboNotches->count() > 0 ? 0 : -1));
}

bool frmSetAll::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->txtPw2 && event->type() == QEvent::FocusOut) {
        // Focus that goes away with the whole window (to another program or
        // to a message box) has not left the box for another field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Focus that goes to Start leaves the comparison to Start, which
        // refuses to run while the passwords differ.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            QApplication::focusWidget() != ui->cmdAutoConf) {
            txtPw2_LostFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

SetAllSettings frmSetAll::TypedSettings() const {
    return {ui->txtId->text(), ui->txtKey->text(), ui->cboNotches->currentText(),
            ui->txtPw1->text()};
}

void frmSetAll::cmdAutoConf_Click() {
    // A password typed differently twice is never sent: one typo would lock
    // the user out of every node.
    if (PasswordsDiffer()) {
        return;
    }
    const SetAllSettings settings = TypedSettings();
    if (!leftOut_.isEmpty()) {
        ReportLeftOut(leftOut_);
    }
    std::optional<QStringList> failures;
    {
        const BusyOperation operation(this, QString());
        failures = ConfigureNodes(targets_, settings);
    }
    if (!failures) {
        return;
    }
    ReportOutcome(this, *failures, settings);
    emit discoveryRequested();
}

void frmSetAll::txtId_Change(const QString& text) {
    ui->txtKey->setEnabled(!text.isEmpty());
    if (text.isEmpty()) {
        ui->txtKey->clear();
    }
}

void frmSetAll::txtPw1_Change(const QString& text) {
    ui->txtPw2->setEnabled(!text.isEmpty());
}

void frmSetAll::txtPw2_LostFocus() {
    PasswordsDiffer();
}

// Tells the user when the two new-password boxes differ and empties both for
// a fresh try.
bool frmSetAll::PasswordsDiffer() {
    if (ui->txtPw1->text() == ui->txtPw2->text()) {
        return false;
    }
    MsgBox(Session().errPwMistake, MsgIcon::Exclamation);
    ui->txtPw1->clear();
    ui->txtPw2->clear();
    ui->txtPw1->setFocus();
    ui->txtPw2->setEnabled(false);
    return true;
}
