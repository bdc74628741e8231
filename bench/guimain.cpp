// Entry of the benchmarks that draw text: fonts need a GUI application,
// which needs no display.
#include <QGuiApplication>

#include "bench/benchsupport.h"

int main(int argc, char** argv) {
    orba::bench::readBenchmarkFlags(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return orba::bench::runBenchmarks();
}
