// Every operation of the wizard against every way a tool can fail: whatever
// the tool does, the program tells the user, gives the window back and does
// not crash.
#include <QLineEdit>
#include <QtTest>

#include "support/Fixture.h"

namespace {

const QString kOffice = "020A1B000002";

// How the client fails: a simulator fault knob on the node, or the tool
// itself broken.
struct Fault {
    const char* name;
    QStringList knob;  // kaldor-sim fault arguments after the node
};

const Fault kFaults[] = {
    {"tool missing", {}},
    {"tool cannot start", {}},
    {"no response", {"noResponse", "on"}},
    {"empty response", {"truncateAt", "0"}},
    {"truncated response", {"truncateAt", "3"}},
    {"garbage response", {"garbage", "on"}},
    {"huge response", {"hugeMb", "3"}},
    {"NUL byte", {"nulByte", "on"}},
    {"invalid UTF-8", {"invalidUtf8", "on"}},
    {"silent node", {"noAnswer", "on"}},
};

enum class Operation { Discovery, Next, Advanced, Save, EndAdvanced, SeveralNodes };

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path_ = qgetenv("PATH");

    void breakTool(const QString& fault, const QString& node) {
        const QString client = f->workFile("ihcp_client.exe");
        if (fault == "tool missing") {
            QFile::remove(client);
            qputenv("PATH", "");
        } else if (fault == "tool cannot start") {
            QFile::remove(client);
            f->writeWorkFile("ihcp_client.exe", QByteArray(64, '\x7f'));
            QFile::setPermissions(client, QFile::ReadOwner | QFile::ExeOwner);
            qputenv("PATH", "");
        } else {
            for (const Fault& known : kFaults) {
                if (fault == known.name) {
                    f->sim(QStringList{"fault", node} + known.knob);
                }
            }
        }
    }

    void discover() {
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");
        QCOMPARE(f->nodeLines().size(), 6);
        f->dialogs.modalCount = 0;
    }

    // Runs the operation with the fault in place.
    void run(Operation op, const QString& fault) {
        if (op == Operation::Discovery) {
            breakTool(fault, "local");
            f->dialogs.typePassword("");
            f->click(W().frmBegin, "cmdNext");
            return;
        }
        discover();
        if (op == Operation::SeveralNodes) {
            breakTool(fault, "garage");
            f->clickNodeBox();
            f->clickNodeEntry(f->rowOf("020A1B000003"), true);
            f->click(W().frmConnect, "cmdConfigMac");
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

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() {
        f.reset();
        qputenv("PATH", path_);
    }

    void everyOperationEveryFault_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("fault");
        const std::pair<Operation, const char*> operations[] = {
            {Operation::Discovery, "discovery"},  {Operation::Next, "next"},
            {Operation::Advanced, "advanced"},    {Operation::Save, "save"},
            {Operation::EndAdvanced, "end page"}, {Operation::SeveralNodes, "several nodes"}};
        for (const auto& [op, opName] : operations) {
            for (const Fault& fault : kFaults) {
                QTest::addRow("%s, %s", opName, fault.name) << int(op) << QString(fault.name);
            }
        }
    }
    void everyOperationEveryFault() {
        QFETCH(int, op);
        QFETCH(QString, fault);
        run(Operation(op), fault);
        QVERIFY2(UsablePageShown(), qPrintable(f->dialogs.describe()));
        QVERIFY(!W().frmMessage->isVisible());
        const bool toolBroken = fault.startsWith("tool");
        // Odd bytes after a good beginning still make a usable answer, and the
        // discovery's walk ends quietly on an answer it cannot use; any other
        // failure is reported.
        const bool reported = toolBroken || fault == "no response" || fault == "empty response" ||
                              fault == "garbage response" || fault == "silent node";
        if (reported && (Operation(op) != Operation::Discovery || toolBroken)) {
            QVERIFY2(!f->dialogs.boxes.isEmpty(), "no message for the failure");
        }
        if (toolBroken) {
            QVERIFY(f->dialogs.boxes[0].text.contains("ihcp_client.exe"));
        }
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QVERIFY(box.text.size() < 2000);
        }
        QVERIFY(!f->exitCode);
    }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
