#include "DesktopDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

// A question to the user comes with the ordinary pointer, even while an
// operation shows the busy one over the rest of the program.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;
};

}  // namespace

static QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Stop:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::NoIcon:
            return QMessageBox::NoIcon;
        case MsgIcon::Exclamation:
            break;
    }
    return QMessageBox::Warning;
}

MsgAnswer DesktopDialogs::messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                                     const QString& title) {
    QMessageBox box(
        ToQt(icon), title, text,
        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        QApplication::activeWindow());
    const ArrowWhileAsking arrow;
    const int answer = box.exec();
    if (buttons == MsgButtons::Ok) {
        return MsgAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

int DesktopDialogs::execModal(QDialog* dialog) {
    const ArrowWhileAsking arrow;
    return dialog->exec();
}

QString DesktopDialogs::openFileName(QWidget* owner, const QString& title, const QString& filter) {
    // The dialog may wander to other folders; the work folder stays current.
    const QString workDir = QDir::currentPath();
    const ArrowWhileAsking arrow;
    QString file = QFileDialog::getOpenFileName(owner, title, workDir, filter);
    QDir::setCurrent(workDir);
    return file;
}

bool DesktopDialogs::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopDialogs::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
