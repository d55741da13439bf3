// Every page and window as the user sees it at 200 % scaling, in both
// catalogues: no text cut, no control over another, every picture drawn at
// the screen's density, no window that can be maximised, the program's icon.
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QtTest>

#include "main/Navigator.h"
#include "main/Startup.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"
#include "ui/Status.h"

namespace {

const QRegularExpression kPicture("^(Picture\\d|img\\w+|Status)$");

// The texts of a label that does not wrap, each on a line of its own, must
// fit its contents; a wrapping label must be tall enough for its width.
bool Cut(const QLabel* label) {
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    if (label->wordWrap()) {
        return label->heightForWidth(label->width()) > label->height();
    }
    const QStringList lines = label->text().split('\n');
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    }
    return widest > room.width() || label->fontMetrics().height() * lines.size() > room.height();
}

// What is wrong with a window or page as it is shown, one line for each
// fault, naming the window and its controls; `pictures` counts the pictures.
QStringList Faults(QWidget* window, int& pictures) {
    QStringList faults;
    const QString at = window->objectName() + ": ";
    const auto shown = [](const QWidget* w) {
        return w->isVisible() && !w->isWindow() && !w->objectName().isEmpty() &&
               !w->objectName().startsWith("qt_");
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!shown(w)) {
            continue;
        }
        const QString name = w->objectName();
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if (label && kPicture.match(name).hasMatch()) {
            ++pictures;
            if (label->pixmap().isNull() || label->pixmap().devicePixelRatio() != 2) {
                faults << at + name + " has no picture drawn at twice the size";
            }
        } else if ((label && Cut(label)) ||
                   (button && button->sizeHint().width() > button->width())) {
            faults << at + name + " is cut: \"" + (label ? label->text() : button->text()) + '"';
        }
        for (QObject* o : w->parentWidget()->children()) {
            auto* other = qobject_cast<QWidget*>(o);
            if (other && other != w && name < other->objectName() && shown(other) &&
                w->geometry().intersects(other->geometry())) {
                faults << at + name + " overlaps " + other->objectName();
            }
        }
    }
    // Without buttons of its own choice a window gets the desktop's, maximise too.
    const Qt::WindowFlags flags = window->window()->windowFlags();
    if (!(flags & Qt::CustomizeWindowHint) || (flags & Qt::WindowMaximizeButtonHint)) {
        faults << at + "can be maximised";
    }
    return faults;
}

}  // namespace

class RenderTest : public QObject {
    Q_OBJECT

    QStringList faults_;
    int pictures_ = 0;

    void look(QWidget* windowOrPage) {
        Fixture::show(windowOrPage);
        QCoreApplication::processEvents();
        faults_ << Faults(windowOrPage, pictures_);
    }
    // The password prompt of the next discovery, looked at before it is answered.
    void lookAtPrompt(Fixture& f) {
        f.dialogs.modalScripts << [this](QDialog* prompt) {
            look(prompt);
            prompt->findChild<QLineEdit*>("txtAskPw")->setText("study-2024");
            prompt->accept();
        };
    }

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void everyWindowAtDoubleScale_data() {
        Cols<QString>({"catalogue"});
        Row("English", "english.lng");
        Row("Spanish", "spanish.lng");
    }
    void everyWindowAtDoubleScale() {
        QVERIFY2(qApp->devicePixelRatio() == 2, "runs with QT_SCALE_FACTOR=2");
        faults_.clear();
        pictures_ = 0;
        Fixture f;
        f.writeWorkFile("languages/default.lang", Cell("catalogue").toUtf8() + "\r\n");
        f.writeWorkFile("alias.tmp", (kOffice + "=Office upstairs\r\n").toUtf8());
        QVERIFY(f.start());
        // The windows carry the icon installed for the menu entry.
        QCOMPARE(QGuiApplication::desktopFileName(), "kaldor-config");
        QCOMPARE(QApplication::windowIcon().pixmap(64).toImage(),
                 QIcon(KALDOR_SOURCE_DIR "/packaging/kaldor-config.svg").pixmap(64).toImage());
        look(W().frmBegin);
        lookAtPrompt(f);
        f.click(W().frmBegin, "cmdNext");
        look(W().frmConnect);
        f.clickNodeEntry(f.rowOf(kOffice));
        f.click(W().frmConnect, "cmdConfigMac");
        look(W().frmConfig);
        ShowStatus(Session().lblConnect + ' ' + kOffice, W().frmConfig);
        look(W().frmMessage);
        HideStatus();
        f.click(W().frmConfig, "cmdSave");
        look(W().frmEnd);
        f.click(W().frmEnd, "cmdAdvanced");
        auto* tabs = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            look(W().frmConfigAdv);
        }
        // The comparison window of a restore, with its groups and buttons.
        const QString backup = f.workFile("office.kbk");
        f.dialogs.savedFiles = f.dialogs.chosenFiles = L{backup};
        f.click(W().frmConfigAdv, "cmdSaveSettings");
        f.sim({"set", kOffice, "MCAST_IGMP", "Proxy"});
        f.dialogs.modalScripts << [this](QDialog* dialog) {
            look(dialog);
            dialog->reject();
        };
        f.click(W().frmConfigAdv, "cmdRestoreSettings");
        f.click(W().frmConfigAdv, "cmdExit");
        lookAtPrompt(f);
        TheNavigator()->Discover();
        f.clickNodeBox();
        f.clickNodeEntry(f.rowOf(kOffice), true);
        f.click(W().frmConnect, "cmdConfigMac");
        look(W().frmSetAll);
        look(W().frmAdvanced);
        f.dialogs.modalScripts << [this](QDialog* dialog) {
            look(dialog);
            dialog->reject();
        };
        ShowUpgradeError(W().frmAdvanced, Session().errUpgradeKo, Session().errCodeUpgrade[3], 3);
        QVERIFY2(f.dialogs.modalScripts.isEmpty(), "a dialog was not shown");
        faults_.removeDuplicates();
        QVERIFY2(faults_.isEmpty(), qPrintable(faults_.join('\n')));
        // The user cannot resize the assistant's pages either.
        QCOMPARE(W().assistant->minimumSize(), W().assistant->maximumSize());
        // welcome 2, end 3, status window 2, error dialog 1
        QCOMPARE(pictures_, 8);
    }
};

QTEST_MAIN(RenderTest)
#include "test_render.moc"
