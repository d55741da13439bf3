#include "Fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStackedWidget>
#include <QTest>

#include "SimDemo.h"
#include "SimEdit.h"
#include "SimStateFile.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "channel/ToolRun.h"
#include "main/Navigator.h"
#include "main/Startup.h"
#include "wizard/AssistantWindow.h"

qint64 Fixture::waited = 0;
const Fixture* Fixture::latest = nullptr;

namespace {

void CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else {
            QFile::copy(source, target);
        }
    }
}

// The tools the build staged, the catalogues as the sources hold them and a
// fresh demo network: whatever a session of the program in the staged
// folder changed there (its network, aliases, language) never reaches a test.
// Its nodes stay silent for a while after taking new network settings, as
// real ones do, so that skipping or shortening a documented wait fails.
void LayOutWorkFolder(const QString& to) {
    const QString stage = QStringLiteral(KALDOR_STAGE_DIR "/resources/");
    QDir().mkpath(to);
    for (const char* tool :
         {"ihcp_client.exe", "MacDiscover.exe", "winl2fwserver.exe", "kaldor-sim"}) {
        QFile::copy(stage + QLatin1String(tool), to + QLatin1Char('/') + QLatin1String(tool));
    }
    CopyTree(QStringLiteral(KALDOR_SOURCE_DIR "/resources/languages"),
             to + QStringLiteral("/languages"));
    CopyTree(QStringLiteral(KALDOR_SOURCE_DIR "/docs/guide"), to + QStringLiteral("/guide"));
    QString error;
    kaldorsim::Network net = kaldorsim::demoNetwork();
    net.settleMs = 5000;
    if (!kaldorsim::writeNetworkFile(to + QStringLiteral("/simnet.json"), net, &error)) {
        qFatal("%s", qPrintable(error));
    }
}

// The network of the fixture alive now.
QString theNetwork;

// A fixed wait taken at once, during which the simulated network's time
// really passes: the nodes restart, settle and fetch firmware meanwhile. A
// damaged network keeps its clock; the tools report the damage themselves.
void InstantWait(int milliseconds) {
    Fixture::waited += milliseconds;
    QString error;
    kaldorsim::updateNetworkFile(
        theNetwork,
        [milliseconds](kaldorsim::Network& net, QString* e) {
            return kaldorsim::advanceClock(net, milliseconds, e);
        },
        &error);
}

QString CataloguePath(const QString& workDir) {
    return workDir + QStringLiteral("/languages/english.lng");
}

}  // namespace

void Fixture::pass(int milliseconds) {
    InstantWait(milliseconds);
}

static QWidget* Named(const QString& name) {
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->objectName() == name) {
            return w;
        }
    }
    return nullptr;
}

Windows W() {
    Windows w;
    w.assistant = Named(QStringLiteral("AssistantWindow"));
    w.frmBegin = Named(QStringLiteral("frmBegin"));
    w.frmConnect = Named(QStringLiteral("frmConnect"));
    w.frmAdvanced = Named(QStringLiteral("frmAdvanced"));
    w.frmConfig = Named(QStringLiteral("frmConfig"));
    w.frmMessage = Named(QStringLiteral("frmMessage"));
    w.frmEnd = Named(QStringLiteral("frmEnd"));
    w.frmConfigAdv = Named(QStringLiteral("frmConfigAdv"));
    w.frmAskPw = Named(QStringLiteral("frmAskPw"));
    w.frmErrorShort = Named(QStringLiteral("frmErrorShort"));
    w.frmSetAll = Named(QStringLiteral("frmSetAll"));
    w.frmOverview = Named(QStringLiteral("frmOverview"));
    return w;
}

QList<QWidget*> AllWindows(const Windows& w) {
    return {w.frmBegin,     w.frmConnect, w.frmAdvanced,   w.frmConfig, w.frmMessage, w.frmEnd,
            w.frmConfigAdv, w.frmAskPw,   w.frmErrorShort, w.frmSetAll, w.frmOverview};
}

QWidget* ShownPage() {
    QWidget* assistant = Named(QStringLiteral("AssistantWindow"));
    if (!assistant || !assistant->isVisible()) {
        return nullptr;
    }
    auto* stack = assistant->findChild<QStackedWidget*>();
    return stack ? stack->currentWidget() : nullptr;
}

Fixture::Fixture() : temp_(QDir::tempPath() + QStringLiteral("/kaldor test-XXXXXX")) {
    previousDir_ = QDir::currentPath();
    LayOutWorkFolder(workDir());
    theNetwork = workFile(QStringLiteral("simnet.json"));
    waited = 0;
    InstallDialogs(&dialogs);
    InstallWait(InstantWait);
    App().endProcess = [this](int code) { exitCode = code; };
    latest = this;
}

Fixture::~Fixture() {
    Application& app = App();
    DestroyWindows();
    app.session = SessionState{};
    app.tabs = AdvancedTabs{};
    app.exiting = false;
    app.stopTools = nullptr;
    app.endProcess = nullptr;
    InstallDialogs(nullptr);
    InstallWait(nullptr);
    ObserveToolRuns(nullptr);
    QDir::setCurrent(previousDir_);
    if (latest == this) {
        latest = nullptr;
    }
}

bool Fixture::start() {
    QDir::setCurrent(startDir());
    return StartApplication();
}

QString Fixture::startDir() const {
    return temp_.path();
}
QString Fixture::workDir() const {
    return temp_.path() + QStringLiteral("/resources");
}
QString Fixture::workFile(const QString& name) const {
    return workDir() + QLatin1Char('/') + name;
}

QByteArray Fixture::readWorkFile(const QString& name) const {
    QFile file(workFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Fixture::writeWorkFile(const QString& name, const QByteArray& bytes) const {
    QFile file(workFile(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

static void EditCatalogue(const QString& path, const QString& key,
                          const std::optional<QString>& value) {
    QStringList lines = ReadLines(path).value_or(QStringList());
    const QString prefix = key + QLatin1Char('=');
    bool found = false;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!lines[i].startsWith(prefix)) {
            continue;
        }
        if (value) {
            lines[i] = prefix + *value;
            found = true;
        } else {
            lines.removeAt(i);
        }
    }
    if (value && !found) {
        lines.append(prefix + *value);
    }
    QVERIFY(WriteLines(path, lines));
}

void Fixture::setCatalogue(const QString& key, const QString& value) const {
    EditCatalogue(CataloguePath(workDir()), key, value);
}

void Fixture::removeCatalogue(const QString& key) const {
    EditCatalogue(CataloguePath(workDir()), key, std::nullopt);
}

void Fixture::show(QWidget* windowOrPage) {
    AssistantWindow* assistant = TheNavigator()->assistant();
    assistant->hasPage(windowOrPage) ? assistant->showPage(windowOrPage) : windowOrPage->show();
}

void Fixture::click(QWidget* window, const char* name) const {
    auto* button = Ctl<QAbstractButton>(window, name);
    QVERIFY2(button->isEnabled(), name);
    button->click();
}

QString Fixture::sim(const QStringList& arguments) const {
    QProcess process;
    process.setWorkingDirectory(workDir());
    process.start(workFile(QStringLiteral("kaldor-sim")), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// A click as the user makes it, holding Ctrl down around it or not.
static void Click(QWidget* keys, QWidget* target, QPoint at, bool ctrl) {
    if (ctrl) {
        QTest::keyPress(keys, Qt::Key_Control);
    }
    QTest::mouseClick(target, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, at);
    if (ctrl) {
        QTest::keyRelease(keys, Qt::Key_Control);
    }
}

void Fixture::clickNodeBox(bool ctrl) const {
    auto* box = Ctl<QLineEdit>(W().frmConnect, "txtMacDirect");
    Click(box, box, QPoint(), ctrl);
}

void Fixture::clickNodeEntry(int row, bool ctrl) const {
    auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
    QVERIFY2(row >= 0 && row < list->count(), "no such node entry");
    Click(list, list->viewport(), list->visualItemRect(list->item(row)).center(), ctrl);
}

int Fixture::rowOf(const QString& mac) const {
    const QStringList lines = nodeLines();
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&mac](const QString& line) { return line.startsWith(mac); });
    return found == lines.end() ? -1 : int(found - lines.begin());
}

QStringList Fixture::nodeLines() const {
    auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}
