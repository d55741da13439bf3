#pragma once

#include "app/Seams.h"

// The dialogs of the desktop: message boxes, modal dialogs, the file dialog
// and the desktop's program for a document.
class DesktopDialogs : public Dialogs {
public:
    MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                         const QString& title) override;
    int execModal(QDialog* dialog) override;
    QString openFileName(QWidget* owner, const QString& title, const QString& filter) override;
    QString saveFileName(QWidget* owner, const QString& title, const QString& filter) override;
    bool openDocument(const QString& path) override;
    bool openUrl(const QUrl& url) override;
};
