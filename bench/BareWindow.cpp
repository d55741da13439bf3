// The baseline of the start-up benchmark: a Qt program that shows one empty
// window and reports its first paint exactly as kaldor-config does.
#include <QApplication>
#include <QWidget>

#include "app/FirstPaint.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(640, 480);
    window.show();
    FirstPaintProbe::WatchIfAsked(&window);
    return application.exec();
}
