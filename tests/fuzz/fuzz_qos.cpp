// The QoS recognition of the advanced window's load on any response file: the
// load's last two steps run on the real window with the shipped catalogue.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdlib>

#include "FuzzCheck.h"
#include "advanced/RuleRecognition.h"
#include "advanced/frmConfigAdv.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "lang/Controls.h"
#include "main/Startup.h"

namespace {

// Answers every box with Ok or No and every modal dialog with Cancel.
class SilentDialogs : public Dialogs {
public:
    MsgAnswer messageBox(const QString&, MsgIcon, MsgButtons buttons, const QString&) override {
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    int execModal(QDialog*) override { return 0; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QUrl&) override { return false; }
};

void NoWait(int) {}

// A start folder holding the shipped catalogues, the program started in it.
frmConfigAdv* StartedWindow() {
    static int argc = 1;
    static char name[] = "fuzz_qos";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    static QTemporaryDir start;
    static SilentDialogs dialogs;
    const QString languages = start.path() + QStringLiteral("/resources/languages");
    QDir().mkpath(languages);
    const QDir shipped(QStringLiteral(KALDOR_SOURCE_DIR "/resources/languages"));
    for (const QString& file : shipped.entryList(QDir::Files)) {
        QFile::copy(shipped.filePath(file), languages + QLatin1Char('/') + file);
    }
    InstallDialogs(&dialogs);
    InstallWait(NoWait);
    QDir::setCurrent(start.path());
    Require(StartApplication(), "the program starts");
    // The windows go before the application object that they need.
    std::atexit(DestroyWindows);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* advanced = qobject_cast<frmConfigAdv*>(window)) {
            return advanced;
        }
    }
    Require(false, "the advanced window exists");
    return nullptr;
}

bool InRange(const QComboBox* combo, int low) {
    return combo->currentIndex() >= low && combo->currentIndex() < combo->count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static frmConfigAdv* window = StartedWindow();
    QFile response(Session().ResponseFile);
    Require(response.open(QIODevice::WriteOnly | QIODevice::Truncate), "the response is written");
    response.write(InputBytes(data, size));
    response.close();
    window->LoadQosPanels();
    const auto combo = [](const char* name) { return Ctl<QComboBox>(window, name); };
    Require(InRange(combo("cboRule1"), 0) && InRange(combo("cboRule2"), 0),
            "both criteria show a preset");
    Require(InRange(combo("cboQoSRule"), -1), "the QoS rule is a preset or none");
    for (int k = 0; k < 8; ++k) {
        const QString entry =
            Ctl<QLineEdit>(window, qPrintable(QStringLiteral("txtQoSMap%1").arg(k)))->text();
        Require(entry.isEmpty() || (entry.size() == 1 && entry[0].isDigit()),
                "a priority map entry is one digit or empty");
    }
    return 0;
}
