// The baseline of the start-up benchmark: a Qt program that shows one empty
// window and reports its first paint exactly as kaldor-config does. With
// --text the window shows one line of text, so the font system starts too.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "main/FirstPaint.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(640, 480);
    if (application.arguments().contains(QStringLiteral("--text"))) {
        new QLabel(QStringLiteral("Kaldor configuration assistant"), &window);
    }
    window.show();
    FirstPaintProbe::WatchIfAsked(&window);
    return application.exec();
}
