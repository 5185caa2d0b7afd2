#include "BenchQtApp.h"

#include <QApplication>

QApplication& BenchQtApp()
{
    static int argc = 1;
    static char name[] = "kelvane_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}
