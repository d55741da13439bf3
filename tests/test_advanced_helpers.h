// Shared by the advanced window's tests: opening the window on a node of the
// demo network and reading and driving its controls.
#pragma once

#include <QComboBox>
#include <QLineEdit>

#include "advanced/frmConfigAdv.h"
#include "app/TextFiles.h"
#include "support/DataRows.h"
#include "support/SimState.h"

namespace advtest {

inline const QString kLocal = QStringLiteral("020A1B000001");
inline const QString kOffice = QStringLiteral("020A1B000002");
inline const QString kGarage = QStringLiteral("020A1B000003");

inline frmConfigAdv* Adv() {
    return static_cast<frmConfigAdv*>(W().frmConfigAdv);
}

template <typename T = QWidget>
T* Control(const char* name) {
    return Ctl<T>(W().frmConfigAdv, name);
}

inline QComboBox* Combo(const char* name) {
    return Control<QComboBox>(name);
}

inline QLineEdit* Text(const char* name) {
    return Control<QLineEdit>(name);
}

// Picks an entry as the user does; false when the list has no such entry.
inline bool Pick(const char* combo, const QString& entry) {
    QComboBox* box = Combo(combo);
    const int index = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    return index >= 0;
}

// Makes "control=value" changes as the user does: picks an entry in a list
// (none for an empty value), types a text into a box.
inline void Apply(const QStringList& changes) {
    for (const QString& change : changes) {
        const QByteArray name = change.section(QLatin1Char('='), 0, 0).toUtf8();
        const QString value = change.section(QLatin1Char('='), 1);
        if (!qobject_cast<QComboBox*>(Control(name.constData()))) {
            Text(name.constData())->setText(value);
        } else if (!Pick(name.constData(), value)) {
            QVERIFY2(value.isEmpty(), qPrintable(change));
        }
    }
}

// Every "control=value" is what the control shows.
inline void VerifyShown(const QStringList& shown) {
    for (const QString& pair : shown) {
        QWidget* control = Control(pair.section(QLatin1Char('='), 0, 0).toUtf8().constData());
        auto* combo = qobject_cast<QComboBox*>(control);
        QCOMPARE(combo ? combo->currentText() : qobject_cast<QLineEdit*>(control)->text(),
                 pair.section(QLatin1Char('='), 1));
    }
}

// A field's text, or "-" while it is hidden with its label.
inline QString Shown(const QString& field, const QString& label) {
    const bool hidden = Control(qPrintable(field))->isHidden();
    if (hidden != Control(qPrintable(label))->isHidden()) {
        return QStringLiteral("field and label disagree");
    }
    return hidden ? QStringLiteral("-") : Text(qPrintable(field))->text();
}

// "1" or "0" for each control, enabled or not.
inline QString Enabled(std::initializer_list<const char*> names) {
    QString flags;
    for (const char* name : names) {
        flags += Control(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    }
    return flags;
}

// A POST request as the window writes it: CR LF after every line.
inline QByteArray PostRequest(const QString& mac, const QString& password,
                              const QStringList& lines) {
    const QStringList all = QStringList{"POST " + mac, ".PASSWORD=" + password} + lines;
    return (all.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

inline QString ResponseFirstLine(const Fixture& f) {
    return ReadFirstLine(f.workFile(QStringLiteral("ihcp_client.tmp"))).value_or(QString());
}

// Starts the program with restarts that take no time and opens the advanced
// window on a node through the end page, with the session a discovery leaves.
inline void OpenThroughEndPage(Fixture& f, const QString& mac) {
    ChangeNetwork(f, [](kaldorsim::Network& net, QString* error) {
        return kaldorsim::setTimeScale(net, 0, error);
    });
    QVERIFY(f.start());
    SessionState& s = Session();
    s.InterfaceNumber = 1;
    s.LocalMac = kLocal;
    s.LocalPassword = s.NodePassword = QStringLiteral("kaldor");
    s.SelectedMac = mac;
    Fixture::show(W().frmEnd);
    f.click(W().frmEnd, "cmdAdvanced");
    QVERIFY2(W().frmConfigAdv->isVisible(), qPrintable(f.dialogs.describe()));
    QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
}

}  // namespace advtest

// Opens the window for the test function, or ends it when that failed.
#define OPEN_ADVANCED(fixture, mac)                \
    do {                                           \
        advtest::OpenThroughEndPage(fixture, mac); \
        if (QTest::currentTestFailed()) {          \
            return;                                \
        }                                          \
    } while (false)
