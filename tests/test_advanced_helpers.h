// Shared by the advanced window's tests: opening the window on a node of the
// demo network, driving its controls and describing what they show.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "advanced/frmConfigAdv.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/SimState.h"

// The local node has a password of its own; the remote ones keep the default.
inline const QString kLocalPw = QStringLiteral("local-pw");

inline frmConfigAdv* Adv() {
    return static_cast<frmConfigAdv*>(W().frmConfigAdv);
}

template <typename T = QWidget>
T* Control(const QString& name) {
    return Ctl<T>(W().frmConfigAdv, qPrintable(name));
}

// Makes "control=value" changes as the user does: picks the entry of that
// text in a list (none for an empty value), types into a text box.
inline void Set(const QStringList& changes) {
    for (const QString& change : changes) {
        const QString name = change.section('=', 0, 0), value = change.section('=', 1);
        auto* list = qobject_cast<QComboBox*>(Control(name));
        list ? list->setCurrentIndex(
                   list->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive))
             : Control<QLineEdit>(name)->setText(value);
        QVERIFY2(!list || value.isEmpty() || list->currentIndex() >= 0, qPrintable(change));
    }
}

// The controls that the expected descriptions name, as the user sees them:
// "name=text" for a box, a list or a label, "name" for a button, " off" added
// while disabled; "name hidden" while hidden.
inline QStringList Shown(const QStringList& expected) {
    QStringList shown;
    for (const QString& e : expected) {
        const QString name = e.section(QRegularExpression("[= ]"), 0, 0);
        QWidget* c = Control(name);
        const char* text = c->inherits("QComboBox")         ? "currentText"
                           : c->inherits("QAbstractButton") ? ""
                                                            : "text";
        shown << (c->isHidden() ? name + " hidden"
                                : name + (*text ? "=" + c->property(text).toString() : "") +
                                      (c->isEnabled() ? "" : " off"));
    }
    return shown;
}

// The lines of the raw parameter list.
inline QStringList Listed() {
    QStringList listed;
    for (int i = 0; i < Control<QListWidget>("lstConfig")->count(); ++i)
        listed << Control<QListWidget>("lstConfig")->item(i)->text();
    return listed;
}

// A request file as the window writes it: CR LF after every line.
inline QByteArray Request(const QString& first, const QString& password, const QStringList& lines) {
    const QStringList all = QStringList{first, ".PASSWORD=" + password} + lines;
    return (all.join("\r\n") + "\r\n").toUtf8();
}

// Starts the program with restarts that take no time, the local node's own
// password known, and opens the advanced window on a node through the end
// page, as after a discovery; false when it did not open.
inline bool OpenThroughEndPage(Fixture& f, const QString& mac) {
    ChangeNetwork(f, [](kaldorsim::Network& net, QString* error) {
        return kaldorsim::setTimeScale(net, 0, error) &&
               kaldorsim::setPassword(net, kLocal, kLocalPw, error);
    });
    if (QTest::currentTestFailed() || !f.start())
        return false;
    SessionState& s = Session();
    s.InterfaceNumber = 1;
    s.LocalMac = kLocal;
    s.SelectedMac = mac;
    s.LocalPassword = kLocalPw;
    s.NodePassword = mac == kLocal ? kLocalPw : "kaldor";
    Fixture::show(W().frmEnd);
    f.click(W().frmEnd, "cmdAdvanced");
    return W().frmConfigAdv->isVisible();
}

// Opens the window for the test function, or ends it when that failed.
#define OPEN_ADVANCED(fixture, mac) \
    QVERIFY2(OpenThroughEndPage(fixture, mac), qPrintable((fixture).dialogs.describe()))
