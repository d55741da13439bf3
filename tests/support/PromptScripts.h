#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "Fixture.h"

// An answer to the password prompt during which the node falls silent, as if
// unplugged while the user typed: the next request finds no node.
inline DialogRecorder::ModalScript TypeThenSilence(const Fixture& f, const QString& node,
                                                   const QString& password) {
    return [&f, node, password](QDialog* dialog) {
        f.sim({"fault", node, "noAnswer", "on"});
        Ctl<QLineEdit>(dialog, "txtAskPw")->setText(password);
        Ctl<QPushButton>(dialog, "cmdOk")->click();
    };
}

// Scripts the next password prompts in order: each text is typed, "" cancels,
// and "silent:PW" types PW while the local node falls silent.
inline void ScriptPrompts(Fixture& f, const QStringList& typed) {
    for (const QString& text : typed) {
        if (text.startsWith(QLatin1String("silent:"))) {
            f.dialogs.modalScripts.append(TypeThenSilence(f, QStringLiteral("local"), text.mid(7)));
        } else {
            f.dialogs.typePassword(text);
        }
    }
}
