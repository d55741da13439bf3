// kaldor-screenshots: drives the assistant through its windows on the demo
// network, offscreen, and saves each window as a PNG, once per catalogue.
//   kaldor-screenshots OUTPUT_FOLDER    (writes OUTPUT_FOLDER/en and /es)
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>
#include <functional>
#include <utility>

#include "app/Application.h"
#include "discovery/Discovery.h"
#include "lang/Controls.h"
#include "main/Navigator.h"
#include "main/Startup.h"
#include "support/Fixture.h"
#include "ui/DesktopDialogs.h"
#include "ui/Status.h"

namespace {

const QString kOffice = QStringLiteral("020A1B000002");
const QString kGarage = QStringLiteral("020A1B000003");
const QString kStudyPassword = QStringLiteral("study-2024");

QStringList gMissing;

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

// Where one language's pictures go; every save is counted against the list
// of expected pictures.
class Album {
public:
    explicit Album(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }

    void save(QWidget* widget, const QString& name) {
        if (!widget || !widget->grab().save(folder_ + QLatin1Char('/') + name + ".png")) {
            QTextStream(stderr) << "kaldor-screenshots: could not save " << name << "\n";
            return;
        }
        saved_ << name;
    }
    // A window as it stands, shown first when it is hidden; a page of the
    // assistant is taken with the whole window around it.
    void shoot(QWidget* window, const QString& name) {
        QWidget* whole = window->window();
        whole->show();
        Settle();
        save(whole, name);
    }
    void expect(const QStringList& names) const {
        for (const QString& name : names) {
            if (!saved_.contains(name)) {
                gMissing << folder_ + QLatin1Char('/') + name;
            }
        }
    }

private:
    QString folder_;
    QStringList saved_;
};

// The recorder of the tests, which also photographs the dialogs it is shown:
// modal windows as they are, message boxes as the desktop draws them.
class ShotDialogs : public DialogRecorder {
public:
    explicit ShotDialogs(Album& album) : album_(album) {}

    QString nextBox;  // the picture name of the next message box; empty: none

    int execModal(QDialog* dialog) override {
        const QString object = dialog->objectName();
        const QString name = object == QLatin1String("frmAskPw") ? QStringLiteral("password-prompt")
                             : object == QLatin1String("frmCompare")
                                 ? QStringLiteral("compare")
                                 : QStringLiteral("error-dialog");
        if (!taken_.contains(name)) {
            taken_ << name;
            album_.shoot(dialog, name);
            dialog->hide();
        }
        return DialogRecorder::execModal(dialog);
    }

    MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                         const QString& title) override {
        if (!nextBox.isEmpty()) {
            const QString name = std::exchange(nextBox, QString());
            QTimer::singleShot(0, [this, name] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    Settle();
                    album_.save(box, name);
                    box->close();
                }
            });
            desktop_.messageBox(text, icon, buttons, title);
        }
        return DialogRecorder::messageBox(text, icon, buttons, title);
    }

private:
    Album& album_;
    DesktopDialogs desktop_;
    QStringList taken_;
};

bool Visible(QWidget* window, const char* step) {
    if (window && window->isVisible()) {
        return true;
    }
    QTextStream(stderr) << "kaldor-screenshots: " << step << " did not show its window\n";
    return false;
}

// Every tab of the advanced window, named by its panel.
void ShootAdvancedTabs(Album& album) {
    const AdvancedTabs& t = App().tabs;
    const QList<std::pair<int, const char*>> tabs = {{t.GeneralTab, "general"},
                                                     {t.NetworkTab, "network"},
                                                     {t.MacTab, "mac"},
                                                     {t.PhyTab, "phy"},
                                                     {t.MulticastTab, "multicast"},
                                                     {t.SecurityTab, "security"},
                                                     {t.VlanTab, "vlan"},
                                                     {t.QoSTab, "qos"},
                                                     {t.QoSAdvTab, "qos-advanced"}};
    auto* strip = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
    for (const auto& [position, name] : tabs) {
        if (position > 0) {
            strip->setCurrentIndex(position - 1);
            album.shoot(W().frmConfigAdv, QStringLiteral("advanced-") + QLatin1String(name));
        }
    }
    strip->setCurrentIndex(0);
}

// The comparison window of a restore: the office node's settings saved, three
// of them changed since, the backup chosen again; the recorder photographs it.
void ShootComparison(const Fixture& f, ShotDialogs& shots) {
    const QString file = f.workFile(QStringLiteral("office.kbk"));
    shots.savedFiles = QStringList{file};
    f.click(W().frmConfigAdv, "cmdSaveSettings");
    for (const auto& [key, value] :
         {std::pair{"NOTCHES", "Disabled"}, {"MCAST_IGMP", "Proxy"}, {"KALDOR_VLAN_TAG", "7"}}) {
        f.sim({QStringLiteral("set"), kOffice, QLatin1String(key), QLatin1String(value)});
    }
    shots.chosenFiles = QStringList{file};
    f.click(W().frmConfigAdv, "cmdRestoreSettings");
}

void ShootStatus(Album& album) {
    ShowStatus(Session().lblConnect + QLatin1Char(' ') + kOffice, W().frmConnect);
    SetProgress(2, 4);
    album.shoot(W().frmMessage, QStringLiteral("status"));
    HideStatus();
}

// Welcome, discovery, node page, network overview, basic configuration, end
// page and the advanced window of the office node.
void ShootWizard(Fixture& f, ShotDialogs& shots, Album& album) {
    album.shoot(W().frmBegin, QStringLiteral("welcome"));
    shots.typePassword(kStudyPassword);
    f.click(W().frmBegin, "cmdNext");
    if (!Visible(W().frmConnect, "discovery")) {
        return;
    }
    f.clickNodeEntry(f.rowOf(kOffice));
    album.shoot(W().frmConnect, QStringLiteral("node-page"));
    f.click(W().frmConnect, "cmdOverview");
    if (Visible(W().frmOverview, "the node page's Overview")) {
        album.shoot(W().frmOverview, QStringLiteral("overview"));
        W().frmOverview->close();
    }
    ShootStatus(album);
    f.click(W().frmConnect, "cmdConfigMac");
    if (!Visible(W().frmConfig, "opening a node")) {
        return;
    }
    album.shoot(W().frmConfig, QStringLiteral("basic-configuration"));
    f.click(W().frmConfig, "cmdSave");
    if (!Visible(W().frmEnd, "saving the basic configuration")) {
        return;
    }
    album.shoot(W().frmEnd, QStringLiteral("end"));
    f.click(W().frmEnd, "cmdAdvanced");
    if (Visible(W().frmConfigAdv, "the end page's Advanced")) {
        ShootAdvancedTabs(album);
        ShootComparison(f, shots);
        Ctl<QAbstractButton>(W().frmConfigAdv, "cmdExit")->click();
    }
}

// The set-all page for the local node and two remote nodes, reached from a fresh node list.
void ShootSetAll(Fixture& f, ShotDialogs& shots, Album& album) {
    shots.typePassword(kStudyPassword);
    TheNavigator()->Discover();
    if (!Visible(W().frmConnect, "discovery")) {
        return;
    }
    f.clickNodeBox();
    f.clickNodeEntry(f.rowOf(kOffice), true);
    f.clickNodeEntry(f.rowOf(kGarage), true);
    f.click(W().frmConnect, "cmdConfigMac");
    if (Visible(W().frmSetAll, "choosing two nodes")) {
        album.shoot(W().frmSetAll, QStringLiteral("set-all"));
    }
}

// With no node on the wire discovery says so and shows the loader page; the
// firmware error dialog is shown over it.
void ShootLoader(Fixture& f, ShotDialogs& shots, Album& album) {
    f.sim({QStringLiteral("attach"), QStringLiteral("local"), QStringLiteral("none")});
    shots.nextBox = QStringLiteral("message-box");
    TheNavigator()->Discover();
    if (!Visible(W().frmAdvanced, "discovery without a node")) {
        return;
    }
    album.shoot(W().frmAdvanced, QStringLiteral("loader-page"));
    const SessionState& s = Session();
    ShowUpgradeError(W().frmAdvanced, s.errUpgradeKo, s.errCodeUpgrade[3], 3);
}

void ShootLanguage(const QString& folder, const QString& catalogue) {
    Album album(folder);
    ShotDialogs shots(album);
    Fixture f;
    InstallDialogs(&shots);
    f.writeWorkFile(QStringLiteral("languages/default.lang"), catalogue.toUtf8() + "\r\n");
    f.writeWorkFile(QStringLiteral("alias.tmp"), (kOffice + QStringLiteral("=Office\r\n") +
                                                  kGarage + QStringLiteral("=Garage\r\n"))
                                                     .toUtf8());
    if (!f.start()) {
        gMissing << folder + QStringLiteral(": the program did not start");
        return;
    }
    ShootWizard(f, shots, album);
    ShootSetAll(f, shots, album);
    ShootLoader(f, shots, album);
    album.expect({"welcome", "node-page", "overview", "password-prompt", "status",
                  "basic-configuration", "end", "advanced-general", "compare", "set-all",
                  "message-box", "loader-page", "error-dialog"});
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: kaldor-screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const QString out = QDir(arguments[1]).absolutePath();
    ShootLanguage(out + QStringLiteral("/en"), QStringLiteral("english.lng"));
    ShootLanguage(out + QStringLiteral("/es"), QStringLiteral("spanish.lng"));
    for (const QString& missing : gMissing) {
        QTextStream(stderr) << "kaldor-screenshots: missing " << missing << "\n";
    }
    return gMissing.isEmpty() ? 0 : 1;
}
