// Every operation of every window against every way a tool can fail: whatever
// the tool does, the program tells the user, gives the window back and does
// not crash.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "support/Fixture.h"

namespace {

const QString kOffice = "020A1B000002";
const QString kGarage = "020A1B000003";

// How a tool fails: a simulator fault knob on the node, a stand-in firmware
// server that leaves such a result file, or the tool itself broken.
struct Fault {
    const char* name;
    QStringList knob;       // kaldor-sim fault arguments after the node
    const char* serverRun;  // what a stand-in firmware server does instead
};

const Fault kFaults[] = {
    {"tool missing", {}, ""},
    {"tool cannot start", {}, ""},
    {"no response", {"noResponse", "on"}, "exit 0"},
    {"empty response", {"truncateAt", "0"}, ": > winl2fwserver.tmp"},
    {"truncated response", {"truncateAt", "3"}, "printf '4' > winl2fwserver.tmp"},
    {"garbage response", {"garbage", "on"}, "printf '\\211\\376\\001garbage' > winl2fwserver.tmp"},
    {"huge response",
     {"hugeMb", "3"},
     "head -c 3145728 /dev/zero | tr '\\000' 7 > winl2fwserver.tmp"},
    {"NUL byte", {"nulByte", "on"}, "printf '\\0000\\r\\n' > winl2fwserver.tmp"},
    {"invalid UTF-8", {"invalidUtf8", "on"}, "printf '\\377\\3760\\r\\n' > winl2fwserver.tmp"},
    {"silent node", {"noAnswer", "on"}, ""},
};

enum class Operation {
    Discovery,
    Next,
    Advanced,
    Save,
    EndAdvanced,
    SeveralNodes,
    SetAll,
    Refresh,
    Update,
    Reset,
    FactoryReset,
    FileUpdate,
    Layer2Upgrade,
    LoaderUpgrade,
};

const std::pair<Operation, const char*> kOperations[] = {
    {Operation::Discovery, "discovery"},
    {Operation::Next, "next"},
    {Operation::Advanced, "advanced"},
    {Operation::Save, "save"},
    {Operation::EndAdvanced, "end page"},
    {Operation::SeveralNodes, "several nodes"},
    {Operation::SetAll, "set-all"},
    {Operation::Refresh, "refresh"},
    {Operation::Update, "update"},
    {Operation::Reset, "reset"},
    {Operation::FactoryReset, "factory reset"},
    {Operation::FileUpdate, "FTP/TFTP update"},
    {Operation::Layer2Upgrade, "layer-2 upgrade"},
    {Operation::LoaderUpgrade, "loader upgrade"},
};

const Fault& FaultNamed(const QString& name) {
    for (const Fault& fault : kFaults) {
        if (name == fault.name) {
            return fault;
        }
    }
    qFatal("unknown fault");
}

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path_ = qgetenv("PATH");

    void replaceTool(const QString& tool, const QByteArray& content) {
        const QString path = f->workFile(tool);
        QFile::remove(path);
        f->writeWorkFile(tool, content);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }

    void breakTool(const QString& fault, const QString& node,
                   const QString& tool = QStringLiteral("ihcp_client.exe")) {
        if (fault == "tool missing") {
            QFile::remove(f->workFile(tool));
            qputenv("PATH", "");
        } else if (fault == "tool cannot start") {
            replaceTool(tool, QByteArray(64, '\x7f'));
            qputenv("PATH", "");
        } else if (tool != "ihcp_client.exe" && *FaultNamed(fault).serverRun) {
            replaceTool(tool, QByteArray("#!/bin/sh\n") + FaultNamed(fault).serverRun + "\n");
        } else if (tool != "ihcp_client.exe") {
            f->sim({"power", node, "off"});  // no node takes the image
        } else {
            f->sim(QStringList{"fault", node} + FaultNamed(fault).knob);
        }
    }

    void discover() {
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");
        QCOMPARE(f->nodeLines().size(), 6);
        f->dialogs.modalCount = 0;
    }

    void openSetAllPage() {
        f->clickNodeBox();
        f->clickNodeEntry(f->rowOf(kGarage), true);
        f->click(W().frmConnect, "cmdConfigMac");
    }

    void runSetAll(const QString& fault) {
        openSetAllPage();
        QVERIFY(W().frmSetAll->isVisible());
        breakTool(fault, "garage");
        Ctl<QLineEdit>(W().frmSetAll, "txtId")->setText("Moved");
        f->dialogs.typePassword("");
        f->click(W().frmSetAll, "cmdAutoConf");
    }

    // The advanced window on the office node, the fault in place, then the
    // operation's button.
    void runAdvanced(Operation op, const QString& fault) {
        f->clickNodeEntry(f->rowOf(kOffice));
        f->click(W().frmConnect, "cmdQuickAdv");
        QWidget* adv = W().frmConfigAdv;
        QVERIFY2(adv->isVisible(), qPrintable(f->dialogs.describe()));
        f->dialogs.boxes.clear();
        const char* button = nullptr;
        switch (op) {
            case Operation::Refresh:
                button = "cmdRefresh";
                break;
            case Operation::Update:
                button = "cmdUpdateMacConf";
                break;
            case Operation::Reset:
                button = "cmdReset";
                break;
            case Operation::FactoryReset:
                f->dialogs.typePassword("factory");
                button = "cmdFactoryReset";
                break;
            case Operation::FileUpdate:
                Ctl<QComboBox>(adv, "cboUpgProt")->setCurrentText("TFTP");
                Ctl<QLineEdit>(adv, "txtServerIP")->setText("192.168.1.6");
                Ctl<QLineEdit>(adv, "txtFileName")->setText("kpl200-2.5.0.img");
                Ctl<QComboBox>(adv, "cboUpdSect")->setCurrentIndex(0);
                button = "cmdFwUpdate";
                break;
            default: {
                const QString image = f->workFile("new firmware.img");
                f->sim({"image", image, "KPL-200", "2.6.0"});
                f->dialogs.chosenFiles << image;
                f->click(adv, "cmdChooseFile");
                button = "cmdFwUpgrade";
                break;
            }
        }
        breakTool(fault, "office");
        f->click(adv, button);
    }

    void runLoader(const QString& fault) {
        f->sim({"loader", "local", "on"});
        f->click(W().frmBegin, "cmdNext");
        QVERIFY(W().frmAdvanced->isVisible());
        Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(1);
        const QString image = f->workFile("new firmware.img");
        f->sim({"image", image, "KPL-510A", "3.3.0"});
        f->dialogs.chosenFiles << image;
        breakTool(fault, "local", "winl2fwserver.exe");
        f->click(W().frmAdvanced, "cmdUpgrade");
    }

    // Runs the operation with the fault in place.
    void run(Operation op, const QString& fault) {
        f->sim({"time-scale", "0"});
        if (op == Operation::LoaderUpgrade) {
            runLoader(fault);
            return;
        }
        if (op == Operation::Discovery) {
            breakTool(fault, "local");
            f->dialogs.typePassword("");
            f->click(W().frmBegin, "cmdNext");
            return;
        }
        discover();
        if (op == Operation::SeveralNodes) {
            breakTool(fault, "garage");
            openSetAllPage();
            return;
        }
        if (op == Operation::SetAll) {
            runSetAll(fault);
            return;
        }
        if (op >= Operation::Refresh) {
            runAdvanced(op, fault);
            return;
        }
        f->clickNodeEntry(f->rowOf(kOffice));
        if (op == Operation::Next || op == Operation::Advanced) {
            breakTool(fault, "office");
            f->click(W().frmConnect, op == Operation::Next ? "cmdConfigMac" : "cmdQuickAdv");
            return;
        }
        f->click(W().frmConnect, "cmdConfigMac");
        if (op == Operation::Save) {
            breakTool(fault, "office");
            Ctl<QLineEdit>(W().frmConfig, "txtId")->setText("Moved");
            f->click(W().frmConfig, "cmdSave");
            return;
        }
        f->click(W().frmConfig, "cmdSave");
        breakTool(fault, "office");
        f->click(W().frmEnd, "cmdAdvanced");
    }

    // The page the user is left on: shown and taking input.
    static bool UsablePageShown() {
        const Windows& w = W();
        for (QWidget* page : {w.frmBegin, w.frmConnect, w.frmAdvanced, w.frmConfig, w.frmEnd,
                              w.frmConfigAdv, w.frmSetAll}) {
            if (page->isVisible() && page->isEnabled()) {
                return true;
            }
        }
        return false;
    }

    // Failures the operation cannot overlook: nothing usable came back.
    static bool MustBeReported(Operation op, const QString& fault) {
        if (fault.startsWith("tool")) {
            return true;
        }
        // The discovery's walk ends quietly on an answer it cannot use.
        if (op == Operation::Discovery) {
            return false;
        }
        // Odd bytes after a good beginning still make a usable answer.
        return fault == "no response" || fault == "empty response" || fault == "garbage response" ||
               fault == "silent node";
    }

    // Every fault for the operations first to last.
    static void addRows(Operation first, Operation last) {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("fault");
        for (const auto& [op, opName] : kOperations) {
            if (op < first || op > last) {
                continue;
            }
            for (const Fault& fault : kFaults) {
                QTest::addRow("%s, %s", opName, fault.name) << int(op) << QString(fault.name);
            }
        }
    }

    void runRow() {
        QFETCH(int, op);
        QFETCH(QString, fault);
        run(Operation(op), fault);
        QVERIFY2(UsablePageShown(), qPrintable(f->dialogs.describe()));
        QVERIFY(!W().frmMessage->isVisible());
        // The loader page's error dialog is a window of its own.
        const int told = int(f->dialogs.boxes.size()) + f->dialogs.modalCount;
        if (MustBeReported(Operation(op), fault)) {
            QVERIFY2(told > 0, "no message for the failure");
        }
        if (fault.startsWith("tool")) {
            const QString tool =
                Operation(op) == Operation::LoaderUpgrade ? "winl2fwserver.exe" : "ihcp_client.exe";
            QVERIFY2(f->dialogs.describe().contains(tool), qPrintable(f->dialogs.describe()));
            // A tool that never ran cannot have done the work.
            QVERIFY2(!f->dialogs.describe().contains(Session().errUpgradeOk),
                     qPrintable(f->dialogs.describe()));
        }
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QVERIFY(box.text.size() < 2000);
        }
        QVERIFY(!f->exitCode);
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() {
        f.reset();
        qputenv("PATH", path_);
    }

    // Three groups, so that each runs as a test of its own and in parallel.
    void wizardOperations_data() { addRows(Operation::Discovery, Operation::SetAll); }
    void wizardOperations() { runRow(); }
    void advancedOperations_data() { addRows(Operation::Refresh, Operation::FactoryReset); }
    void advancedOperations() { runRow(); }
    void firmwareOperations_data() { addRows(Operation::FileUpdate, Operation::LoaderUpgrade); }
    void firmwareOperations() { runRow(); }

    // A value a node answered with a line break inside goes back to no node:
    // the request is refused before the tool runs, and the window stays usable.
    void lineBreakFromNode() {
        f->sim({"set", "office", "FLUP_FILENAME", "new\rfirmware.img"});
        discover();
        f->clickNodeEntry(f->rowOf(kOffice));
        f->click(W().frmConnect, "cmdQuickAdv");
        QWidget* adv = W().frmConfigAdv;
        QCOMPARE(Ctl<QLineEdit>(adv, "txtFileName")->text(), "new\rfirmware.img");
        Ctl<QComboBox>(adv, "cboUpgProt")->setCurrentText("TFTP");
        Ctl<QLineEdit>(adv, "txtServerIP")->setText("192.168.1.6");
        f->dialogs.boxes.clear();
        QFile::remove(f->workFile("post.cfg"));
        f->click(adv, "cmdFwUpdate");
        QVERIFY2(f->dialogs.describe().contains("line break"), qPrintable(f->dialogs.describe()));
        QVERIFY(!QFile::exists(f->workFile("post.cfg")));
        QVERIFY(adv->isVisible() && adv->isEnabled());
    }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
