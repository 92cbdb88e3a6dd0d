#include "bench/BenchMain.h"

#include <QApplication>

void ensureApplication() {
    static int argc = 1;
    static char name[] = "zemt_benchmarks";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}
