#include "DesktopDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "lang/Catalogue.h"

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

// The buttons of a box carry the catalogue's captions, so that they speak the
// language of the rest of the program; Qt's own captions are English here.
void CaptionButtons(QMessageBox& box) {
    struct Caption {
        QMessageBox::StandardButton button;
        const char* key;
        const char* fallback;
    };
    static constexpr Caption kCaptions[] = {
        {QMessageBox::Ok, "cmdOk", "OK"},
        {QMessageBox::Yes, "cmdYes", "Yes"},
        {QMessageBox::No, "cmdNo", "No"},
    };
    for (const Caption& caption : kCaptions) {
        if (QAbstractButton* button = box.button(caption.button)) {
            button->setText(GetTextOr(QLatin1String(caption.key), QLatin1String(caption.fallback)));
        }
    }
}

using FileDialog = QString (*)(QWidget*, const QString&, const QString&, const QString&, QString*,
                               QFileDialog::Options);

// The dialog may wander to other folders; the work folder stays current.
QString AskFileName(FileDialog dialog, QWidget* owner, const QString& title,
                    const QString& filter) {
    const QString workDir = QDir::currentPath();
    const ArrowWhileAsking arrow;
    QString file = dialog(owner, title, workDir, filter, nullptr, QFileDialog::Options());
    QDir::setCurrent(workDir);
    return file;
}

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
    CaptionButtons(box);
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
    return AskFileName(&QFileDialog::getOpenFileName, owner, title, filter);
}

QString DesktopDialogs::saveFileName(QWidget* owner, const QString& title, const QString& filter) {
    return AskFileName(&QFileDialog::getSaveFileName, owner, title, filter);
}

bool DesktopDialogs::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopDialogs::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
