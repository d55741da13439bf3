#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "app/Seams.h"

// Stands in for the desktop's dialogs: keeps every box shown and answers from
// a script, so tests run without a person.
class DialogRecorder : public Dialogs {
public:
    struct Box {
        QString text;
        MsgIcon icon;
        QString title;
        MsgButtons buttons;
    };
    using ModalScript = std::function<void(QDialog*)>;

    QList<Box> boxes;
    QList<MsgAnswer> answers;         // answers to Yes/No boxes, in order
    QList<ModalScript> modalScripts;  // what the user does in each modal dialog
    QStringList chosenFiles;          // answers of the file dialog ("" cancels)
    QStringList savedFiles;           // answers of the save dialog ("" cancels)
    QStringList openedDocuments;
    QList<QUrl> openedUrls;  // pages shown in the browser
    QStringList fileDialogTitles;
    QStringList fileDialogFilters;
    bool documentOpens = true;
    QStringList modals;  // each modal dialog as "[title] " and its labels' texts, "|"-joined
    std::function<void()> onShow;  // runs as each box or modal dialog comes

    MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                         const QString& title) override;
    int execModal(QDialog* dialog) override;
    QString openFileName(QWidget* owner, const QString& title, const QString& filter) override;
    QString saveFileName(QWidget* owner, const QString& title, const QString& filter) override;
    bool openDocument(const QString& path) override;
    bool openUrl(const QUrl& url) override;

    // Scripts the password prompt: types the text and presses Ok, or presses
    // Cancel when the text is empty.
    void typePassword(const QString& password);
    QString describe() const;  // every box, for failure messages
};
