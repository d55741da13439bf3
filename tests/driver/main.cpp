// The assistant as a separate process with scripted input, for the tests that
// must end a real process: signals, a failing handler, a killed alias write.
// Usage: kaldor-driver discover | throw | alias COUNT
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/Application.h"
#include "app/PlatformSignals.h"
#include "app/Seams.h"
#include "discovery/Alias.h"
#include "main/GuardedApplication.h"
#include "main/Navigator.h"
#include "main/Startup.h"

namespace {

// Answers every dialog at once and prints each message box.
class ScriptedDialogs : public Dialogs {
public:
    MsgAnswer messageBox(const QString& text, MsgIcon, MsgButtons, const QString& title) override {
        std::printf("BOX %s | %s\n", qPrintable(title), qPrintable(text));
        return MsgAnswer::No;
    }
    int execModal(QDialog* dialog) override {
        dialog->reject();
        return QDialog::Rejected;
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QUrl&) override { return false; }
};

// Adds COUNT aliases, then replaces them over and over until killed, telling
// every save.
void SaveAliasesForever(int count) {
    for (int i = 0;; ++i) {
        SaveAlias(QStringLiteral("0A0B0C0D%1").arg(i % count, 4, 10, QLatin1Char('0')),
                  QStringLiteral("value-%1").arg(i));
        std::printf("%d\n", i);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line as soon as it is written
    GuardedApplication application(argc, argv);
    ScriptedDialogs dialogs;
    InstallDialogs(&dialogs);
    HandleTerminationSignals([] { ExitApplication(1); });
    if (!StartApplication()) {
        return 1;
    }
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "alias") {
        SaveAliasesForever(argc > 2 ? std::atoi(argv[2]) : 60);
    }
    // "throw": the first event's handler fails, as a faulty handler would.
    QTimer::singleShot(0, [&] {
        if (mode == "throw")
            throw std::runtime_error("handler failed");
        TheNavigator()->Discover();
    });
    const int exitCode = QApplication::exec();
    // The windows go before the application object that they need.
    DestroyWindows();
    return exitCode;
}
