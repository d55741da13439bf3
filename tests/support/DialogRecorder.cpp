#include "DialogRecorder.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

MsgAnswer DialogRecorder::messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                                     const QString& title) {
    if (onShow) {
        onShow();
    }
    boxes.append({text, icon, title, buttons});
    if (buttons == MsgButtons::Ok) {
        return MsgAnswer::Ok;
    }
    return answers.isEmpty() ? MsgAnswer::No : answers.takeFirst();
}

int DialogRecorder::execModal(QDialog* dialog) {
    if (onShow) {
        onShow();
    }
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        texts << label->text();
    }
    texts.removeAll(QString());
    modals << QLatin1Char('[') + dialog->windowTitle() + QStringLiteral("] ") +
                  texts.join(QLatin1Char('|'));
    dialog->setResult(QDialog::Rejected);
    if (modalScripts.isEmpty()) {
        dialog->reject();
    } else {
        modalScripts.takeFirst()(dialog);
    }
    return dialog->result();
}

QString DialogRecorder::openFileName(QWidget*, const QString& title, const QString& filter) {
    fileDialogTitles.append(title);
    fileDialogFilters.append(filter);
    return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
}

QString DialogRecorder::saveFileName(QWidget*, const QString& title, const QString& filter) {
    fileDialogTitles.append(title);
    fileDialogFilters.append(filter);
    return savedFiles.isEmpty() ? QString() : savedFiles.takeFirst();
}

bool DialogRecorder::openDocument(const QString& path) {
    QFile file(path);
    openedDocuments.append(file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                          : QString());
    return documentOpens;
}

bool DialogRecorder::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return documentOpens;
}

void DialogRecorder::typePassword(const QString& password) {
    modalScripts.append([password](QDialog* dialog) {
        if (password.isEmpty()) {
            dialog->findChild<QPushButton*>(QStringLiteral("cmdReturn"))->click();
            return;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("txtAskPw"))->setText(password);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
}

QString DialogRecorder::describe() const {
    QStringList lines;
    for (const Box& b : boxes) {
        lines << QStringLiteral("[%1|%2] %3").arg(int(b.icon)).arg(b.title, b.text);
    }
    return lines.join(QLatin1Char('\n'));
}
